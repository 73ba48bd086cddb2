#include "script/KeywordSuggestion.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <vector>

#include "core/DemoMessage.h"
#include "core/PrintableText.h"

std::size_t EditDistance(const std::string& from, const std::string& to)
{
    const auto same = [](char first, char second) {
        return std::tolower(static_cast<unsigned char>(first)) == std::tolower(static_cast<unsigned char>(second));
    };
    // One row of the table of distances between every beginning of `from`
    // and every beginning of `to`.
    std::vector<std::size_t> row(to.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= from.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= to.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same(from[i - 1], to[j - 1]) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[to.size()];
}

std::optional<std::string> NearestKeyword(const KeywordTable& keywords, const std::string& word)
{
    const KeywordEntry* nearest = nullptr;
    std::size_t nearestDistance = 0;
    for (const KeywordEntry& entry : keywords) {
        const std::size_t allowed = std::max<std::size_t>(1, std::min(word.size(), entry.keyword.size()) / 3);
        // No edit makes up more than one character of the lengths' difference.
        const std::size_t lengthDifference = std::max(word.size(), entry.keyword.size()) - std::min(word.size(), entry.keyword.size());
        if (lengthDifference > allowed) {
            continue;
        }
        const std::size_t distance = EditDistance(word, entry.keyword);
        if (distance <= allowed && (nearest == nullptr || distance < nearestDistance)) {
            nearest = &entry;
            nearestDistance = distance;
        }
    }
    if (nearest == nullptr) {
        return std::nullopt;
    }
    return nearest->keyword;
}

std::string UnknownKeywordNote(const KeywordTable& keywords, const std::string& word)
{
    if (word.empty()) {
        return "a blank line stands where a keyword should";
    }
    const std::string shown = PrintableText(word, keywordShown);
    if (const std::optional<std::string> nearest = NearestKeyword(keywords, word)) {
        return FormatText("unknown keyword '%s' (did you mean %s?)", shown.c_str(), nearest->c_str());
    }
    return FormatText("unknown keyword '%s'", shown.c_str());
}
