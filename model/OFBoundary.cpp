#include "model/OFBoundary.h"

#include "vxp/VXPApi.h"

int OFBoundary::typeFromFaceNodeCount(size_t n) {
    if (n == 3) return VXP_TRIANGLE;
    if (n == 4) return VXP_QUADRILATERAL;
    return VXP_POLYGON_OR_POLYHEDRON;
}

bool OFBoundary::isResultKeyString(const std::string& key) {
    return key == "value" || key == "refValue" || key == "valueFraction";
}

bool OFBoundary::isKeyForUsingCellValue(const std::string& key) {
    return key == "zeroGradient" || key == "empty" || key == "calculated";
}

bool OFBoundary::inGroup(const std::string& group) const {
    for (const std::string& g : m_groups)
        if (g == group) return true;
    static const char* const TYPE_GROUPS[] = {"wall",          "cyclic",   "cyclicAMI",  "cyclicACMI",
                                              "cyclicSlip",    "empty",    "processor",  "processorCyclic",
                                              "symmetryPlane", "symmetry", "wedge",      "nonuniformTransformCyclic"};
    const std::string type = m_type.toStdString();
    if (group != type) return false;
    for (const char* t : TYPE_GROUPS)
        if (type == t) return true;
    return false;
}
