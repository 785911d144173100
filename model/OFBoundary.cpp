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
