#include "model/OFResult.h"

int OFResult::dimension() const {
    switch (m_type) {
        case SCALAR: return 1;
        case VECTOR: return 3;
        case TENSOR: return 6;
        default: return -1;
    }
}

vx::Str OFResult::className() const {
    if (!m_fileClassName.isEmpty() && m_mapping != NODE_AVERAGE) return m_fileClassName;
    const char* kind = m_type == SCALAR ? "Scalar" : m_type == VECTOR ? "Vector" : m_type == TENSOR ? "Tensor" : nullptr;
    switch (m_mapping) {
        case ELEMENT: return kind ? vx::Str("vol") + kind + "Field" : vx::Str();
        case NODE: return kind ? vx::Str("point") + kind + "Field" : vx::Str();
        case NODE_AVERAGE: return vx::Str("Veltrix averaged result from volume data");
        default: return vx::Str();
    }
}

size_t OFResult::expectedValueCount(size_t nodeCount, size_t elementCount) const {
    const int dim = dimension();
    if (dim < 0) return static_cast<size_t>(-1);
    const size_t components = static_cast<size_t>(dim);
    switch (m_mapping) {
        case NODE:
        case NODE_AVERAGE: return components * nodeCount;
        case ELEMENT: return components * elementCount;
        default: return static_cast<size_t>(-1);
    }
}

const std::map<std::string, OFResultTypeAndMapping>& OFResult::supportedResultClasses() {
    static const std::map<std::string, OFResultTypeAndMapping> classes = {
        {"volScalarField", {SCALAR, ELEMENT}},  {"volVectorField", {VECTOR, ELEMENT}},
        {"volTensorField", {TENSOR, ELEMENT}},  {"pointScalarField", {SCALAR, NODE}},
        {"pointVectorField", {VECTOR, NODE}},   {"pointTensorField", {TENSOR, NODE}},
        {"volSymmTensorField", {TENSOR, ELEMENT}}, {"pointSymmTensorField", {TENSOR, NODE}},
        // Cell values only, as lagrangian solvers write them.
        {"volScalarField::Internal", {SCALAR, ELEMENT}}, {"volVectorField::Internal", {VECTOR, ELEMENT}},
        {"volTensorField::Internal", {TENSOR, ELEMENT}}, {"volSymmTensorField::Internal", {TENSOR, ELEMENT}},
    };
    return classes;
}
