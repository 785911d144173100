#pragma once
#include <cstddef>
#include <map>
#include <string>
#include <utility>

#include "core/Str.h"
#include "model/OFUnit.h"

// Value type of a result. -1 marks a result that is not published.
enum OFResultType : int { SCALAR = 0, VECTOR = 1, TENSOR = 2, DISPLACEMENT = 3 };

// Where the values of a result live.
enum OFResultMapping : int { ELEMENT = 0, NODE = 1, NODE_AVERAGE = 2 };

using OFResultTypeAndMapping = std::pair<OFResultType, OFResultMapping>;

// One result offered by a time state.
class OFResult {
public:
    OFResult(const vx::Str& nativeName, const vx::Str& name, const vx::Str& idString, const OFUnit& unit,
             OFResultType type, OFResultMapping mapping)
        : m_name(name), m_idString(idString), m_nativeName(nativeName), m_unit(unit), m_type(type),
          m_mapping(mapping) {}

    int id() const { return m_id; }
    void setId(int id) { m_id = id; }
    // Display name.
    vx::Str name() const { return m_name; }
    // Identifier of the result that stays the same over all states.
    vx::Str idString() const { return m_idString; }
    // The field's object name (or the sampled file's base name).
    vx::Str nativeName() const { return m_nativeName; }
    // The unit text.
    vx::Str unit() const { return m_unit.translate(); }
    const OFUnit& baseUnit() const { return m_unit; }
    OFResultType type() const { return m_type; }
    OFResultMapping mapping() const { return m_mapping; }

    // Components per value: 1, 3 or 6; -1 for the displacement or an unknown type.
    int dimension() const;
    // The class of the field file the result was found in (symmetric tensors keep theirs).
    void setFileClassName(const vx::Str& className) { m_fileClassName = className; }
    // The field class the values are read as; empty when there is none.
    vx::Str className() const;
    // Number of doubles a piece with these counts receives.
    size_t expectedValueCount(size_t nodeCount, size_t elementCount) const;

    // Field classes read as results, from the header class text.
    static const std::map<std::string, OFResultTypeAndMapping>& supportedResultClasses();

private:
    int m_id = -1;
    vx::Str m_name;
    vx::Str m_idString;
    vx::Str m_nativeName;
    OFUnit m_unit;
    OFResultType m_type;
    OFResultMapping m_mapping;
    vx::Str m_fileClassName;
};
