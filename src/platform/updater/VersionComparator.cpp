#include "VersionComparator.h"

#include <algorithm>
#include <string>
#include <vector>

namespace quorvane {

namespace {

struct Part {
    bool isNumber = false;
    std::string text; // digits without leading zeros, or lower-case letters
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<Part> parts(std::string_view version) {
    version = version.substr(0, version.find('-'));
    std::vector<Part> result;
    std::size_t i = 0;
    while (i < version.size()) {
        const char c = version[i];
        if (!isDigit(c) && !isLetter(c)) {
            ++i;
            continue;
        }
        Part part;
        part.isNumber = isDigit(c);
        while (i < version.size() && (part.isNumber ? isDigit(version[i]) : isLetter(version[i]))) {
            const char next = version[i];
            part.text.push_back(next >= 'A' && next <= 'Z' ? static_cast<char>(next - 'A' + 'a')
                                                           : next);
            ++i;
        }
        if (part.isNumber) {
            part.text.erase(0, std::min(part.text.find_first_not_of('0'), part.text.size()));
        }
        result.push_back(std::move(part));
    }
    return result;
}

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Numbers of any length, compared without converting them.
int compareNumbers(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return sign(a.compare(b));
}

int compareParts(const Part& a, const Part& b) {
    if (a.isNumber && b.isNumber) {
        return compareNumbers(a.text, b.text);
    }
    if (!a.isNumber && !b.isNumber) {
        return sign(a.text.compare(b.text));
    }
    // "1.0.1" is newer than "1.0b1": a number beats letters in the same place.
    return a.isNumber ? 1 : -1;
}

// One side has run out: it stands for zero against a number and for the final
// release against letters.
int compareWithEnd(const Part& remaining) {
    if (!remaining.isNumber) {
        return -1;
    }
    return remaining.text.empty() ? 0 : 1;
}

} // namespace

int VersionComparator::compare(std::string_view a, std::string_view b) {
    const auto left = parts(a);
    const auto right = parts(b);
    const auto count = std::max(left.size(), right.size());
    for (std::size_t i = 0; i < count; ++i) {
        int result = 0;
        if (i >= left.size()) {
            result = -compareWithEnd(right[i]);
        } else if (i >= right.size()) {
            result = compareWithEnd(left[i]);
        } else {
            result = compareParts(left[i], right[i]);
        }
        if (result != 0) {
            return result;
        }
    }
    return 0;
}

} // namespace quorvane
