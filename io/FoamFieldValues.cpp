#include "io/FoamFieldValues.h"

#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>

#include "io/NumberParsing.h"
#include "io/Units.h"

using foamdict::ListSpan;
using foamdict::Token;
using foamdict::TokenKind;

namespace foamvalues {

namespace {

// Lists shorter than this are parsed on the calling thread.
constexpr size_t PARALLEL_BYTES = 1 << 18;

bool isTensorKind(int fileComponents) { return fileComponents == 6 || fileComponents == 9; }

int listTypeComponents(const std::string& word) {
    if (word == "List<scalar>") return 1;
    if (word == "List<vector>") return 3;
    if (word == "List<tensor>") return 9;
    if (word == "List<symmTensor>") return 6;
    return 0;
}

}  // namespace

void storeItem(const double* numbers, int n, double* out, TensorView view) {
    if (n != 6 && n != 9) {
        std::copy(numbers, numbers + n, out);
        return;
    }
    double t[9];
    if (n == 9) {
        std::copy(numbers, numbers + 9, t);
    } else {
        const double full[9] = {numbers[0], numbers[1], numbers[2], numbers[1], numbers[3],
                                numbers[4], numbers[2], numbers[4], numbers[5]};
        std::copy(full, full + 9, t);
    }
    switch (view) {
        case TensorView::Full:
            std::copy(t, t + 9, out);
            return;
        case TensorView::Axial:
            out[0] = 0.5 * (t[7] - t[5]);
            out[1] = 0.5 * (t[2] - t[6]);
            out[2] = 0.5 * (t[3] - t[1]);
            return;
        case TensorView::Symmetric:
            out[0] = t[0];
            out[1] = 0.5 * (t[1] + t[3]);
            out[2] = 0.5 * (t[2] + t[6]);
            out[3] = t[4];
            out[4] = 0.5 * (t[5] + t[7]);
            out[5] = t[8];
            return;
    }
}

namespace {

const char* skipBlanks(const char* p, const char* end) {
    while (p < end && ofnum::isBlank(*p)) ++p;
    return p;
}

const char* parseNumberToken(const char* p, const char* end, double* value) {
    const char* q = ofnum::parseDouble(p, end, value);
    if (!q || (q < end && !ofnum::isBlank(*q) && *q != ')' && *q != '(')) return nullptr;
    return q;
}

// Counts the items of a text piece: numbers for scalars, "(" for tuples.
size_t countItems(const char* p, const char* end, int fileComponents) {
    if (p >= end) return 0;
    size_t n = 0;
    if (fileComponents == 1) {
        // A number starts at each non-blank character behind a blank one: counted without a
        // branch or a carried state, so that the loop runs on vector registers.
        const size_t length = static_cast<size_t>(end - p);
        const auto* bytes = reinterpret_cast<const unsigned char*>(p);
        auto blank = [](unsigned char c) -> unsigned { return (c == ' ') | (c == '\t') | (c == '\r') | (c == '\n'); };
        n = blank(bytes[0]) ^ 1u;
        for (size_t i = 1; i < length; ++i) n += blank(bytes[i - 1]) & (blank(bytes[i]) ^ 1u);
        return n;
    }
    for (; p < end; ++p) n += *p == '(';
    return n;
}

// Pieces of a text list for parallel parsing, each holding whole items.
std::vector<const char*> splitPieces(const char* begin, const char* end, int fileComponents) {
    const size_t bytes = static_cast<size_t>(end - begin);
    const size_t pieces = std::max<size_t>(1, std::min<size_t>(256, bytes / (PARALLEL_BYTES / 4)));
    std::vector<const char*> cuts{begin};
    for (size_t k = 1; k < pieces; ++k) {
        const char* p = std::max(cuts.back(), begin + bytes * k / pieces);
        if (fileComponents == 1) {
            while (p < end && !ofnum::isBlank(*p)) ++p;
        } else {
            while (p < end && *p != ')') ++p;
            if (p < end) ++p;
        }
        cuts.push_back(p);
    }
    cuts.push_back(end);
    return cuts;
}

bool parseTextSpan(const ListSpan& span, int fileComponents, double* out, TensorView view) {
    const char* begin = span.data();
    const char* end = begin + span.size();
    const size_t items = static_cast<size_t>(span.count);
    const size_t delivered = static_cast<size_t>(deliveredComponents(fileComponents, view));
    if (span.size() < PARALLEL_BYTES) return parseItemsText(begin, end, items, fileComponents, out, view);
    const std::vector<const char*> cuts = splitPieces(begin, end, fileComponents);
    const size_t pieces = cuts.size() - 1;
    std::vector<size_t> first(pieces + 1, 0);
    tbb::parallel_for(tbb::blocked_range<size_t>(0, pieces), [&](const tbb::blocked_range<size_t>& r) {
        for (size_t k = r.begin(); k != r.end(); ++k) first[k + 1] = countItems(cuts[k], cuts[k + 1], fileComponents);
    });
    for (size_t k = 0; k < pieces; ++k) first[k + 1] += first[k];
    if (first[pieces] != items) return false;
    std::atomic<bool> ok{true};
    tbb::parallel_for(tbb::blocked_range<size_t>(0, pieces), [&](const tbb::blocked_range<size_t>& r) {
        for (size_t k = r.begin(); k != r.end(); ++k) {
            if (!parseItemsText(cuts[k], cuts[k + 1], first[k + 1] - first[k], fileComponents, out + first[k] * delivered,
                                view))
                ok.store(false, std::memory_order_relaxed);
        }
    });
    return ok.load();
}

bool parseBinarySpan(const ListSpan& span, int fileComponents, double* out, TensorView view) {
    const size_t items = static_cast<size_t>(span.count);
    const size_t numbers = items * static_cast<size_t>(fileComponents);
    const size_t scalarBytes = span.itemBytes / static_cast<size_t>(fileComponents);
    if (scalarBytes != 4 && scalarBytes != 8) return false;
    const size_t delivered = static_cast<size_t>(deliveredComponents(fileComponents, view));
    const char* data = span.data();
    auto number = [&](size_t i) {
        if (scalarBytes == 8) {
            double d;
            std::memcpy(&d, data + i * 8, 8);
            return d;
        }
        float f;
        std::memcpy(&f, data + i * 4, 4);
        return static_cast<double>(f);
    };
    if (static_cast<int>(delivered) == fileComponents && scalarBytes == 8) {
        // A list read straight into the target is there already.
        if (static_cast<const void*>(out) != static_cast<const void*>(data)) std::memcpy(out, data, numbers * 8);
        return true;
    }
    tbb::parallel_for(tbb::blocked_range<size_t>(0, items), [&](const tbb::blocked_range<size_t>& r) {
        double item[9];
        for (size_t i = r.begin(); i != r.end(); ++i) {
            for (int c = 0; c < fileComponents; ++c) item[c] = number(i * static_cast<size_t>(fileComponents) + static_cast<size_t>(c));
            storeItem(item, fileComponents, out + i * delivered, view);
        }
    });
    return true;
}

template <typename V>
bool resizeSafely(V& v, size_t n) {
    try {
        v.resize(n);
        return true;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    return false;
}

// The numbers of one item from tokens [i, end): "1" or "( 1 2 3 )"; i is moved behind it.
bool parseTokenItem(const std::vector<Token>& tokens, size_t* i, int fileComponents, double* out, TensorView view) {
    double numbers[9] = {};
    int n = 0;
    size_t k = *i;
    if (k >= tokens.size()) return false;
    if (fileComponents == 1) {
        if (tokens[k].kind != TokenKind::Number) return false;
        ofnum::parseDouble(tokens[k].text.data(), tokens[k].text.data() + tokens[k].text.size(), &numbers[0]);
        *out = numbers[0];
        *i = k + 1;
        return true;
    }
    if (!tokens[k].isPunct('(')) return false;
    for (++k; k < tokens.size() && !tokens[k].isPunct(')'); ++k) {
        if (tokens[k].kind != TokenKind::Number || n == 9) return false;
        ofnum::parseDouble(tokens[k].text.data(), tokens[k].text.data() + tokens[k].text.size(), &numbers[n++]);
    }
    if (k >= tokens.size()) return false;
    const bool fits = isTensorKind(fileComponents) ? (n == 6 || n == 9) : n == fileComponents;
    if (!fits) return false;
    storeItem(numbers, n, out, view);
    *i = k + 1;
    return true;
}

// A unit written after a value ("[bar]", "[m/s]"): its factor to SI; 1 without one.
bool trailingUnitFactor(const std::vector<Token>& tokens, size_t i, double* factor) {
    *factor = 1;
    if (i == tokens.size()) return true;
    if (!tokens[i].isPunct('[') || !tokens.back().isPunct(']')) return false;
    std::string text;
    for (size_t k = i + 1; k + 1 < tokens.size(); ++k) {
        if (!text.empty()) text += ' ';
        text += tokens[k].text;
    }
    units::Dimension dimension;
    return units::parseUnit(text, &dimension, factor);
}

void scale(std::vector<double>* values, double factor) {
    if (factor != 1)
        for (double& v : *values) v *= factor;
}

}  // namespace

int deliveredComponents(int fileComponents, TensorView view) {
    if (fileComponents != 6 && fileComponents != 9) return fileComponents;
    return view == TensorView::Full ? 9 : view == TensorView::Axial ? 3 : 6;
}

bool parseItemsText(const char* p, const char* end, size_t items, int fileComponents, double* out, TensorView view) {
    const size_t delivered = static_cast<size_t>(deliveredComponents(fileComponents, view));
    for (size_t i = 0; i < items; ++i) {
        p = skipBlanks(p, end);
        if (fileComponents == 1) {
            p = parseNumberToken(p, end, &out[i]);
            if (!p) return false;
            continue;
        }
        if (p >= end || *p != '(') return false;
        ++p;
        double numbers[9];
        int n = 0;
        while (true) {
            p = skipBlanks(p, end);
            if (p >= end) return false;
            if (*p == ')') break;
            if (n == 9) return false;
            p = parseNumberToken(p, end, &numbers[n]);
            if (!p) return false;
            ++n;
        }
        ++p;
        const bool fits = isTensorKind(fileComponents) ? (n == 6 || n == 9) : n == fileComponents;
        if (!fits) return false;
        storeItem(numbers, n, out + i * delivered, view);
    }
    return skipBlanks(p, end) == end;
}

ValueRead readFieldValue(const std::vector<Token>& tokens, int fileComponents, std::vector<double>* target,
                         size_t resizeUpTo, TensorView view) {
    ValueRead r;
    const size_t delivered = static_cast<size_t>(deliveredComponents(fileComponents, view));
    if (tokens.empty() || !target || delivered == 0) return r;
    size_t i = 1;
    if (tokens[0].isWord("uniform")) {
        r.uniform = true;
        double item[9];
        double factor = 1;
        if (!parseTokenItem(tokens, &i, fileComponents, item, view) || !trailingUnitFactor(tokens, i, &factor))
            return r;
        if (target->size() % delivered != 0) return r;
        for (size_t k = 0; k < target->size(); k += delivered)
            for (size_t c = 0; c < delivered; ++c) (*target)[k + c] = item[c] * factor;
        r.status = ValueStatus::Read;
        return r;
    }
    if (!tokens[0].isWord("nonuniform")) return r;
    int listComponents = fileComponents;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Word) {
        r.listType = tokens[i].text;
        listComponents = listTypeComponents(r.listType);
        const bool compatible = listComponents == fileComponents || (isTensorKind(listComponents) && isTensorKind(fileComponents));
        if (!compatible) {
            r.status = ValueStatus::WrongType;
            return r;
        }
        ++i;
    }
    if (i >= tokens.size()) return r;
    const Token& head = tokens[i];
    long long count = -1;
    if (head.kind == TokenKind::List) {
        count = head.list->count;
    } else if (head.kind == TokenKind::Number) {
        double d = 0;
        ofnum::parseDouble(head.text.data(), head.text.data() + head.text.size(), &d);
        if (d < 0 || d > 2147483646 || d != static_cast<double>(static_cast<long long>(d))) return r;
        count = static_cast<long long>(d);
    } else {
        return r;
    }
    r.count = count;
    const unsigned long long needed = static_cast<unsigned long long>(count) * delivered;
    if (resizeUpTo) {
        if (needed > resizeUpTo || !resizeSafely(*target, static_cast<size_t>(needed))) return r;
    } else if (needed != target->size()) {
        r.status = ValueStatus::WrongCount;
        return r;
    }
    double factor = 1;
    if (head.kind == TokenKind::List) {
        const ListSpan& span = *head.list;
        if (!trailingUnitFactor(tokens, i + 1, &factor)) return r;
        const bool ok = span.itemBytes ? span.itemBytes % static_cast<size_t>(listComponents) == 0 &&
                                             parseBinarySpan(span, listComponents, target->data(), view)
                                       : parseTextSpan(span, listComponents, target->data(), view);
        if (!ok) return r;
        scale(target, factor);
        r.status = ValueStatus::Read;
        return r;
    }
    ++i;
    if (i >= tokens.size() || count == 0) {
        // "nonuniform 0" (binary) and "0()".
        if (count != 0) return r;
        if (i < tokens.size() && (!tokens[i].isPunct('(') || i + 1 >= tokens.size() || !tokens[i + 1].isPunct(')')))
            return r;
        r.status = ValueStatus::Read;
        return r;
    }
    if (tokens[i].isPunct('{')) {
        double item[9];
        ++i;
        if (!parseTokenItem(tokens, &i, listComponents, item, view) || i >= tokens.size() || !tokens[i].isPunct('}'))
            return r;
        if (!trailingUnitFactor(tokens, i + 1, &factor)) return r;
        for (size_t k = 0; k < target->size(); k += delivered)
            for (size_t c = 0; c < delivered; ++c) (*target)[k + c] = item[c] * factor;
        r.status = ValueStatus::Read;
        return r;
    }
    if (!tokens[i].isPunct('(')) return r;
    ++i;
    for (long long k = 0; k < count; ++k)
        if (!parseTokenItem(tokens, &i, listComponents, target->data() + static_cast<size_t>(k) * delivered, view))
            return r;
    if (i >= tokens.size() || !tokens[i].isPunct(')')) return r;
    if (!trailingUnitFactor(tokens, i + 1, &factor)) return r;
    scale(target, factor);
    r.status = ValueStatus::Read;
    return r;
}

bool readLabelList(const std::vector<Token>& tokens, std::vector<int>* labels, int labelBytes, size_t maxCount) {
    size_t i = 0;
    if (i < tokens.size() && tokens[i].kind == TokenKind::Word) ++i;  // List<label>
    if (i >= tokens.size()) return false;
    const Token& head = tokens[i];
    auto parseLabel = [](const std::string& text, int32_t* v) {
        const char* end = text.data() + text.size();
        return ofnum::parseLabel(text.data(), end, v) == end;
    };
    if (head.kind == TokenKind::List) {
        const ListSpan& span = *head.list;
        if (i + 1 != tokens.size() || static_cast<unsigned long long>(span.count) > maxCount ||
            !resizeSafely(*labels, static_cast<size_t>(span.count)))
            return false;
        const size_t n = labels->size();
        if (span.itemBytes) {
            if (span.itemBytes == 4 && labelBytes == 4) {
                std::memcpy(labels->data(), span.data(), n * 4);
                return true;
            }
            if (span.itemBytes == 1) {
                for (size_t k = 0; k < n; ++k) (*labels)[k] = static_cast<unsigned char>(span.data()[k]);
                return true;
            }
            if (span.itemBytes != 8) return false;
            for (size_t k = 0; k < n; ++k) {
                int64_t v;
                std::memcpy(&v, span.data() + k * 8, 8);
                if (v < INT32_MIN || v > INT32_MAX) return false;
                (*labels)[k] = static_cast<int>(v);
            }
            return true;
        }
        const char* p = span.data();
        const char* end = p + span.size();
        for (size_t k = 0; k < n; ++k) {
            p = skipBlanks(p, end);
            int32_t v = 0;
            const char* q = ofnum::parseLabel(p, end, &v);
            if (!q || (q < end && !ofnum::isBlank(*q))) return false;
            (*labels)[k] = v;
            p = q;
        }
        return skipBlanks(p, end) == end;
    }
    int32_t count = 0;
    if (head.kind != TokenKind::Number || !parseLabel(head.text, &count) || count < 0 ||
        static_cast<size_t>(count) > maxCount)
        return false;
    ++i;
    if (i == tokens.size()) {
        if (count != 0) return false;
        labels->clear();
        return true;
    }
    if (tokens[i].isPunct('{')) {
        int32_t v = 0;
        if (i + 3 != tokens.size() || !parseLabel(tokens[i + 1].text, &v) || !tokens[i + 2].isPunct('}')) return false;
        labels->assign(static_cast<size_t>(count), v);
        return true;
    }
    if (!tokens[i].isPunct('(') || tokens.size() != i + 2 + static_cast<size_t>(count) || !tokens.back().isPunct(')'))
        return false;
    labels->assign(static_cast<size_t>(count), 0);
    for (int32_t k = 0; k < count; ++k) {
        int32_t v = 0;
        if (!parseLabel(tokens[i + 1 + static_cast<size_t>(k)].text, &v)) return false;
        (*labels)[static_cast<size_t>(k)] = v;
    }
    return true;
}

}  // namespace foamvalues
