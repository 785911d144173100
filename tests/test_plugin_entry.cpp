#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "plugin/OFLogger.h"
#include "plugin/OpenFoamProviderFactory.h"
#include "plugin/PluginEntry.h"
#include "tests/support/LogCapture.h"

namespace {

struct FakeHost {
    static int acceptFactory;
    static std::vector<std::pair<std::string, std::string>> properties;
    static std::string providerName;
    static VXPProviderFactoryInfo info;

    static int registerFactory(const char* name, const VXPProviderFactoryInfo* factoryInfo) {
        providerName = name;
        info = *factoryInfo;
        return acceptFactory;
    }
    static void setProperty(const char* key, const char* value) { properties.emplace_back(key, value); }
    static void reset(int accept) {
        acceptFactory = accept;
        properties.clear();
        providerName.clear();
        info = VXPProviderFactoryInfo{0, 0, nullptr, nullptr};
    }
};
int FakeHost::acceptFactory = 1;
std::vector<std::pair<std::string, std::string>> FakeHost::properties;
std::string FakeHost::providerName;
VXPProviderFactoryInfo FakeHost::info{0, 0, nullptr, nullptr};

struct Setting {
    std::string key, label, type, defaultValue;
};

class RecordingProviderInfo : public VXPDataProviderInfo {
public:
    void setName(const VXPString& n) override { name = n.utf8(); }
    void setFileMask(const VXPString& m) override { mask = m.utf8(); }
    void addBoolSetting(const VXPString& key, const VXPString& label, bool value) override {
        settings.push_back({key.utf8(), label.utf8(), "bool", value ? "true" : "false"});
    }
    void addStringSetting(const VXPString& key, const VXPString& label, const VXPString& value) override {
        settings.push_back({key.utf8(), label.utf8(), "string", value.utf8()});
    }
    std::string name, mask;
    std::vector<Setting> settings;
};

bool supported(const char* path) {
    OpenFoamProviderFactory factory;
    return factory.isSupportedByProvider(VXPString::fromChar(path));
}

}  // namespace

TEST(PluginEntry, RegistersTheFactoryEvenWithoutALogCallback) {
    FakeHost::reset(1);
    VXPPluginRecord nullLogRecord{nullptr, &FakeHost::registerFactory, nullptr, &FakeHost::setProperty};
    EXPECT_EQ(initializeDataProviderPlugin(&nullLogRecord), &pluginExitFunc);
    EXPECT_EQ(FakeHost::providerName, "OpenFoamProvider");
    EXPECT_EQ(FakeHost::info.apiVersionMajor, 7);
    EXPECT_EQ(FakeHost::info.apiVersionMinor, 0);
    ASSERT_NE(FakeHost::info.factory, nullptr);
    ASSERT_EQ(FakeHost::info.destroyFactory, &destroyProviderFactory);
    FakeHost::info.destroyFactory(FakeHost::info.factory);
    ASSERT_EQ(FakeHost::properties.size(), 3u);
    EXPECT_EQ(FakeHost::properties[0], std::make_pair(std::string("name"), std::string("OpenFoamPlugin")));
    EXPECT_EQ(FakeHost::properties[1], std::make_pair(std::string("version"), std::string("1.10.0")));
    EXPECT_EQ(FakeHost::properties[2].first, "compiler");
    EXPECT_NE(FakeHost::properties[2].second.find(", C++: "), std::string::npos);
}

namespace {
std::vector<std::pair<int, std::string>> g_hostLog;
void hostLog(int level, const char* text) { g_hostLog.emplace_back(level, text); }
}  // namespace

TEST(PluginEntry, FirstLogLinesAreTheBanner) {
    g_hostLog.clear();
    FakeHost::reset(1);
    VXPPluginRecord record{nullptr, &FakeHost::registerFactory, &hostLog, &FakeHost::setProperty};
    ASSERT_EQ(initializeDataProviderPlugin(&record), &pluginExitFunc);
    FakeHost::info.destroyFactory(FakeHost::info.factory);
    OFLogger::get()->init(nullptr);
    ASSERT_GE(g_hostLog.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(g_hostLog[i].first, 3);
    EXPECT_EQ(g_hostLog[0].second, "OpenFoamPlugin : initializeDataProviderPlugin");
    EXPECT_EQ(g_hostLog[1].second, "OpenFoamPlugin :   version: 1.10.0");
    EXPECT_EQ(g_hostLog[2].second, "OpenFoamPlugin :   vxp api version: 7.0");
    EXPECT_EQ(g_hostLog[3].second.rfind("OpenFoamPlugin :   compiler info: ", 0), 0u);
}

TEST(PluginEntry, RefusedFactoryGivesNull) {
    FakeHost::reset(0);
    VXPPluginRecord record{nullptr, &FakeHost::registerFactory, nullptr, &FakeHost::setProperty};
    EXPECT_EQ(initializeDataProviderPlugin(&record), nullptr);
    EXPECT_EQ(initializeDataProviderPlugin(nullptr), nullptr);
    destroyProviderFactory(nullptr);
}

TEST(OFLogger, LevelsAndTextsReachTheHost) {
    LogCapture capture;
    OFLogger* logger = OFLogger::get();
    logger->logError("OFFile", "bad");
    logger->logInfo("", "empty source");
    logger->logDeveloper("Dev", "detail");
    logger->logDebug("Dbg", "never");
    logger->track("label", 1.0);
    logger->printTrackedData();
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::make_pair(1, std::string("OFFile : bad")));
    EXPECT_EQ(lines[1], std::make_pair(3, std::string(" : empty source")));
    EXPECT_EQ(lines[2], std::make_pair(4, std::string("Dev : detail")));
}

TEST(ProviderFactory, DeclaresNameMaskAndEightSettingsInOrder) {
    OpenFoamProviderFactory factory;
    RecordingProviderInfo info;
    ASSERT_TRUE(factory.getProviderInfo(&info));
    EXPECT_EQ(info.name, "OpenFoam DataProvider Reader");
    EXPECT_EQ(info.mask, "case.foam");
    EXPECT_STREQ(factory.getProviderFileMask().utf8(), "case.foam");
    const std::vector<Setting> expected = {
        {"LOAD_BC_PARTS", "Load Boundary Parts", "bool", "true"},
        {"LOAD_CELL_ZONES", "Load Cell Zones", "bool", "true"},
        {"LOAD_FACE_ZONES", "Load Face Zones", "bool", "false"},
        {"LOAD_GLOBAL_MESH", "Load Global Mesh i.e from constant/polyMesh", "bool", "true"},
        {"LOAD_LOCAL_MESHES", "Load Local Meshes i.e from constant/region*/polyMesh", "bool", "true"},
        {"NODE_AVG_RES", "Provide node average results", "bool", "true"},
        {"HIDE_PARALLEL_INTERFACES", "Hide Parallel Interfaces Between Processors", "bool", "false"},
        {"RESULTS_NAMES_MAPPING", "Result names mapping", "string",
         "U=Velocity;p=Pressure;rho=Density;T=Temperature;g=Gravity"},
    };
    ASSERT_EQ(info.settings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(info.settings[i].key, expected[i].key);
        EXPECT_EQ(info.settings[i].label, expected[i].label);
        EXPECT_EQ(info.settings[i].type, expected[i].type);
        EXPECT_EQ(info.settings[i].defaultValue, expected[i].defaultValue);
    }
    factory.destroyProviderInstance(nullptr);
}

TEST(ProviderFactory, RecognisesCaseFilesByTheirLastComponent) {
    EXPECT_TRUE(supported("/data/run/case.foam"));
    EXPECT_TRUE(supported("C:\\data\\run\\Case.FOAM"));
    EXPECT_TRUE(supported("case.foam"));
    EXPECT_TRUE(supported("/data/run/case.foam/"));
    EXPECT_FALSE(supported("/data/run/case.foam.gz"));
    EXPECT_FALSE(supported("/data/run/"));
    EXPECT_FALSE(supported(""));
    EXPECT_FALSE(supported("///"));
    EXPECT_FALSE(supported("\\\\"));
}

TEST(VXPString, LatinOneBecomesUtf8) {
    const char text[] = {'x', static_cast<char>(0xE9), 0};
    EXPECT_EQ(std::string(VXPString::fromChar(text).utf8()), std::string("x\xC3\xA9"));
    EXPECT_STREQ(VXPString::fromChar(nullptr).utf8(), "");
    EXPECT_STREQ(VXPString::fromUtf8(nullptr).utf8(), "");
    EXPECT_STREQ(VXPString::fromUtf8("a\xC3\xA9").utf8(), "a\xC3\xA9");
    VXPString a = VXPString::fromChar("abc");
    VXPString b(a);
    VXPString c;
    c = b;
    a = VXPString::fromChar("changed");
    EXPECT_STREQ(b.utf8(), "abc");
    EXPECT_STREQ(c.utf8(), "abc");
    EXPECT_STREQ(VXPString().utf8(), "");
}

TEST(SharedLibrary, ExportsOnlyTheEntryFunction) {
    const std::string command = std::string("nm -D --defined-only ") + FOAMPROVIDER_PLUGIN_PATH + " 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    ASSERT_TRUE(pipe);
    std::vector<std::string> functions;
    char line[1024];
    while (fgets(line, sizeof(line), pipe.get())) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const auto firstSpace = text.find(' ');
        if (firstSpace == std::string::npos || firstSpace + 3 > text.size()) continue;
        const char kind = text[firstSpace + 1];
        if (kind == 'T' || kind == 'W' || kind == 'i') functions.push_back(text.substr(firstSpace + 3));
    }
    ASSERT_EQ(functions.size(), 1u) << (functions.empty() ? "no function" : functions[1]);
    EXPECT_EQ(functions[0], "initializeDataProviderPlugin");
}
