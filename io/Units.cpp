#include "io/Units.h"

#include <cmath>
#include <map>
#include <vector>

#include "io/NumberParsing.h"

namespace units {

namespace {

struct Unit {
    Dimension dimension;
    double factor;
};

Dimension dim(double m, double l, double t, double k = 0, double n = 0, double a = 0, double c = 0) {
    return Dimension{m, l, t, k, n, a, c};
}

const std::map<std::string, Unit>& unitTable() {
    static const std::map<std::string, Unit> table = [] {
        const double pi = 3.14159265358979323846;
        std::map<std::string, Unit> t = {
            // Named dimensions.
            {"dimless", {dim(0, 0, 0), 1}},
            {"mass", {dim(1, 0, 0), 1}},
            {"length", {dim(0, 1, 0), 1}},
            {"time", {dim(0, 0, 1), 1}},
            {"temperature", {dim(0, 0, 0, 1), 1}},
            {"moles", {dim(0, 0, 0, 0, 1), 1}},
            {"current", {dim(0, 0, 0, 0, 0, 1), 1}},
            {"luminousIntensity", {dim(0, 0, 0, 0, 0, 0, 1), 1}},
            {"area", {dim(0, 2, 0), 1}},
            {"volume", {dim(0, 3, 0), 1}},
            {"rate", {dim(0, 0, -1), 1}},
            {"velocity", {dim(0, 1, -1), 1}},
            {"momentum", {dim(1, 1, -1), 1}},
            {"acceleration", {dim(0, 1, -2), 1}},
            {"density", {dim(1, -3, 0), 1}},
            {"force", {dim(1, 1, -2), 1}},
            {"energy", {dim(1, 2, -2), 1}},
            {"power", {dim(1, 2, -3), 1}},
            {"pressure", {dim(1, -1, -2), 1}},
            {"kinematicPressure", {dim(0, 2, -2), 1}},
            {"compressibility", {dim(0, -2, 2), 1}},
            {"gasConstant", {dim(0, 2, -2, -1), 1}},
            {"specificHeatCapacity", {dim(0, 2, -2, -1), 1}},
            {"kinematicViscosity", {dim(0, 2, -1), 1}},
            {"dynamicViscosity", {dim(1, -1, -1), 1}},
            {"thermalConductivity", {dim(1, 1, -3, -1), 1}},
            {"turbulentKineticEnergy", {dim(0, 2, -2), 1}},
            {"turbulentEpsilon", {dim(0, 2, -3), 1}},
            {"turbulentOmega", {dim(0, 0, -1), 1}},
            {"volumetricFlux", {dim(0, 3, -1), 1}},
            {"massFlux", {dim(1, 0, -1), 1}},
            // Units.
            {"kg", {dim(1, 0, 0), 1}},
            {"g", {dim(1, 0, 0), 1e-3}},
            {"t", {dim(1, 0, 0), 1e3}},
            {"m", {dim(0, 1, 0), 1}},
            {"km", {dim(0, 1, 0), 1e3}},
            {"cm", {dim(0, 1, 0), 1e-2}},
            {"mm", {dim(0, 1, 0), 1e-3}},
            {"um", {dim(0, 1, 0), 1e-6}},
            {"s", {dim(0, 0, 1), 1}},
            {"ms", {dim(0, 0, 1), 1e-3}},
            {"us", {dim(0, 0, 1), 1e-6}},
            {"min", {dim(0, 0, 1), 60}},
            {"hr", {dim(0, 0, 1), 3600}},
            {"day", {dim(0, 0, 1), 86400}},
            {"K", {dim(0, 0, 0, 1), 1}},
            // OpenFOAM's amount of substance is counted in kmol.
            {"kmol", {dim(0, 0, 0, 0, 1), 1}},
            {"mol", {dim(0, 0, 0, 0, 1), 1e-3}},
            {"A", {dim(0, 0, 0, 0, 0, 1), 1}},
            {"Cd", {dim(0, 0, 0, 0, 0, 0, 1), 1}},
            {"cd", {dim(0, 0, 0, 0, 0, 0, 1), 1}},
            {"Hz", {dim(0, 0, -1), 1}},
            {"ml", {dim(0, 3, 0), 1e-6}},
            {"cal", {dim(1, 2, -2), 4.184}},
            {"kcal", {dim(1, 2, -2), 4184}},
            {"cSt", {dim(0, 2, -1), 1e-6}},
            {"cP", {dim(1, -1, -1), 1e-3}},
            {"rot", {dim(0, 0, 0), 2 * pi}},
            {"N", {dim(1, 1, -2), 1}},
            {"kN", {dim(1, 1, -2), 1e3}},
            {"Pa", {dim(1, -1, -2), 1}},
            {"kPa", {dim(1, -1, -2), 1e3}},
            {"MPa", {dim(1, -1, -2), 1e6}},
            {"bar", {dim(1, -1, -2), 1e5}},
            {"mbar", {dim(1, -1, -2), 1e2}},
            {"atm", {dim(1, -1, -2), 101325}},
            {"J", {dim(1, 2, -2), 1}},
            {"kJ", {dim(1, 2, -2), 1e3}},
            {"MJ", {dim(1, 2, -2), 1e6}},
            {"W", {dim(1, 2, -3), 1}},
            {"kW", {dim(1, 2, -3), 1e3}},
            {"MW", {dim(1, 2, -3), 1e6}},
            {"l", {dim(0, 3, 0), 1e-3}},
            {"L", {dim(0, 3, 0), 1e-3}},
            {"rad", {dim(0, 0, 0), 1}},
            {"deg", {dim(0, 0, 0), pi / 180}},
            {"rpm", {dim(0, 0, -1), 2 * pi / 60}},
            {"%", {dim(0, 0, 0), 1e-2}},
        };
        return t;
    }();
    return table;
}

// One factor "name" or "name^power".
bool applyFactor(const std::string& item, double sign, Dimension* dimension, double* factor) {
    const size_t caret = item.find('^');
    const std::string name = item.substr(0, caret);
    double power = 1;
    if (caret != std::string::npos) {
        const std::string p = item.substr(caret + 1);
        const char* end = p.data() + p.size();
        if (p.empty() || ofnum::parseDouble(p.data(), end, &power) != end) return false;
    }
    const auto it = unitTable().find(name);
    if (it == unitTable().end()) return false;
    for (size_t i = 0; i < 7; ++i) (*dimension)[i] += sign * power * it->second.dimension[i];
    *factor *= std::pow(it->second.factor, sign * power);
    return true;
}

}  // namespace

bool parseUnit(const std::string& text, Dimension* dimension, double* factor) {
    *dimension = Dimension{0, 0, 0, 0, 0, 0, 0};
    *factor = 1;
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '*') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else if (c == '/') {
            if (!word.empty()) words.push_back(word);
            words.push_back("/");
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    if (words.empty()) return true;

    // The numeric form: five or seven exponents.
    std::vector<double> numbers;
    for (const std::string& w : words) {
        double v = 0;
        const char* end = w.data() + w.size();
        if (ofnum::parseDouble(w.data(), end, &v) != end) break;
        numbers.push_back(v);
    }
    if (numbers.size() == words.size()) {
        if (numbers.size() != 5 && numbers.size() != 7) return false;
        for (size_t i = 0; i < numbers.size(); ++i) (*dimension)[i] = numbers[i];
        return true;
    }

    double sign = 1;
    for (const std::string& w : words) {
        if (w == "/") {
            sign = -1;
            continue;
        }
        if (!applyFactor(w, sign, dimension, factor)) return false;
        sign = 1;
    }
    return sign == 1;
}

}  // namespace units
