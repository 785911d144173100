#pragma once
#include <string>
#include <vector>

#include "io/FoamDictionary.h"

// Values of dictionary entries: field values ("uniform 1", "nonuniform List<vector> N(...)")
// and label lists, with long lists parsed in parallel straight from the text they stand in.
namespace foamvalues {

// How a tensor item is delivered: its six symmetric components (xx xy xz yy yz zz), all nine,
// or the axial vector of its antisymmetric part, ((T_zy - T_yz)/2, (T_xz - T_zx)/2, (T_yx - T_xy)/2).
enum class TensorView { Symmetric, Full, Axial };

// Components per item as delivered.
int deliveredComponents(int fileComponents, TensorView view = TensorView::Symmetric);

enum class ValueStatus {
    Read,
    WrongCount,  // a list whose length is not the target's
    WrongType,   // a list of another item type than the field's
    Malformed,
};

struct ValueRead {
    ValueStatus status = ValueStatus::Malformed;
    long long count = -1;    // items of a non-uniform list
    std::string listType;    // its "List<T>" word, if any
    bool uniform = false;
};

// Reads a field value into target (items x delivered components). With resizeUpTo 0 a list
// must have as many items as the target holds; otherwise the target takes the list's length,
// which may not exceed resizeUpTo values (a bound the caller has validated).
// factor scales every number (units written after the value).
ValueRead readFieldValue(const std::vector<foamdict::Token>& tokens, int fileComponents, std::vector<double>* target,
                         size_t resizeUpTo, TensorView view = TensorView::Symmetric);

// Parses `items` items of fileComponents numbers from text [begin, end): plain numbers for
// scalars, "(a b c ...)" otherwise. The text must hold nothing else.
bool parseItemsText(const char* begin, const char* end, size_t items, int fileComponents, double* out,
                    TensorView view = TensorView::Symmetric);

// Stores one item of n numbers (1, 3, 6 or 9) as the delivered components.
void storeItem(const double* numbers, int n, double* out, TensorView view = TensorView::Symmetric);

// A label list value ("List<label> N(...)", "N(...)", "N{v}", "0()", a binary "0"); false when
// malformed, when the count does not match the items, or when it exceeds maxCount.
bool readLabelList(const std::vector<foamdict::Token>& tokens, std::vector<int>* labels, int labelBytes,
                   size_t maxCount);

}  // namespace foamvalues
