// Feeding a renamer or the block converter a line in every way it may come: whole, cut once
// anywhere, in chunks of a few bytes; and random mappings of short texts to hold against the
// plain reference. Shared by the tests of the mapping engine.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/mapping/mapping.h"
#include "conversion/rename/line_renamer.h"
#include "conversion/rename/stream_converter.h"

namespace skelvane::conversion {

inline Mapping mappingOf(MatchMode mode, std::vector<MappingRow> rows) {
    Mapping mapping;
    mapping.name = "test";
    mapping.mode = mode;
    mapping.rows = std::move(rows);
    return mapping;
}

// Gathers what a renamer or converter writes.
struct GatheredBytes final : ByteSink {
    std::string text;
    std::error_code write(std::string_view bytes) override {
        text.append(bytes);
        return {};
    }
};

// What the renamer writes for one piece.
inline std::string fed(Renamer& renamer, std::string_view piece, bool lineEnds) {
    GatheredBytes sink;
    EXPECT_FALSE(renamer.feed(piece, lineEnds, sink));
    return sink.text;
}

// The renamer's result for a line cut into pieces at `cuts`.
inline std::string renamedInPieces(Renamer& renamer, std::string_view line,
                                   std::vector<std::size_t> cuts) {
    cuts.push_back(line.size());
    std::string result;
    std::size_t from = 0;
    for (std::size_t to : cuts) {
        result += fed(renamer, line.substr(from, to - from), to == line.size());
        from = to;
    }
    return result;
}

// Every way to cut the line once, and chunks of a few bytes, must give `expected`.
inline void expectInAnyPieces(Renamer& renamer, std::string_view line,
                              const std::string& expected) {
    for (std::size_t cut = 0; cut <= line.size(); ++cut) {
        ASSERT_EQ(renamedInPieces(renamer, line, {cut}), expected) << "cut at " << cut;
    }
    for (std::size_t chunk : {1, 2, 5}) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = chunk; at < line.size(); at += chunk) cuts.push_back(at);
        ASSERT_EQ(renamedInPieces(renamer, line, cuts), expected) << "chunks of " << chunk;
    }
}

// The block converter's output for a line cut into blocks at every place, and in blocks of a
// few bytes, must be `expected` and its line end.
inline void expectConvertedInAnyBlocks(const CompiledMapping& mapping, std::string_view line,
                                       const std::string& expected) {
    std::vector<std::vector<std::size_t>> cutsOfEachWay;
    for (std::size_t cut = 0; cut <= line.size(); ++cut) cutsOfEachWay.push_back({cut});
    for (std::size_t chunk : {1, 2, 5}) {
        std::vector<std::size_t> cuts;
        for (std::size_t at = chunk; at < line.size(); at += chunk) cuts.push_back(at);
        cutsOfEachWay.push_back(cuts);
    }
    for (std::vector<std::size_t>& cuts : cutsOfEachWay) {
        GatheredBytes sink;
        BlockConverter converter(mapping, sink);
        cuts.push_back(line.size());
        std::size_t from = 0;
        for (std::size_t to : cuts) {
            ASSERT_FALSE(converter.convert(line.substr(from, to - from)));
            from = to;
        }
        ASSERT_FALSE(converter.finish());
        ASSERT_EQ(sink.text, expected + "\r\n") << "cut at " << ::testing::PrintToString(cuts);
    }
}

// Random contains mappings of short texts drawn from letters, capitals, digits, blanks and a
// colon, so that rows start among motion bytes, chain, overlap and delete text.
class RandomMappings {
public:
    explicit RandomMappings(unsigned seed) : random_(seed) {}

    std::string text(std::size_t most) {
        static constexpr std::string_view kAlphabet = "abAB01 :h";
        std::string text(std::uniform_int_distribution<std::size_t>(1, most)(random_), 'a');
        for (char& c : text) c = kAlphabet[pick(kAlphabet.size())];
        return text;
    }

    Mapping mapping() {
        std::vector<MappingRow> rows(1 + pick(12));
        for (MappingRow& row : rows) {
            row.from = text(4);
            row.to = pick(5) == 0 ? "" : text(5);
            row.part = static_cast<int>(pick(24));
        }
        return mappingOf(MatchMode::Contains, std::move(rows));
    }

    // A mapping whose rows lengthen the text: replacements of up to 1600 bytes, chains of
    // rows that each double what the row before wrote, short replacements and deletions.
    Mapping lengtheningMapping() {
        std::vector<MappingRow> rows;
        for (std::size_t i = 1 + pick(6); i > 0; --i) {
            MappingRow row{text(3), "", static_cast<int>(pick(24))};
            switch (pick(4)) {
                case 0:
                    if (pick(2) == 0) row.to = text(5);
                    rows.push_back(row);
                    break;
                case 1:
                    for (std::size_t length = 100 + pick(1500); row.to.size() < length;) {
                        row.to += text(5);
                    }
                    rows.push_back(row);
                    break;
                default:
                    row.from.resize(1 + pick(2));
                    row.to = row.from + row.from;
                    rows.insert(rows.end(), 1 + pick(6), row);
            }
        }
        return mappingOf(MatchMode::Contains, std::move(rows));
    }

    // Rows of which some write what later rows look for: a later row's whole text, its start
    // for what follows the match in the line to complete, or its end for what comes before.
    Mapping chainedMapping() {
        Mapping chained = mapping();
        std::vector<MappingRow>& rows = chained.rows;
        for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
            if (pick(3) == 0) continue;
            const std::string& later = rows[i + 1 + pick(rows.size() - i - 1)].from;
            const std::size_t cut = pick(later.size());
            switch (pick(3)) {
                case 0:
                    rows[i].to = text(2) + later + text(2);
                    break;
                case 1:
                    rows[i].to = text(2) + later.substr(0, cut + 1);
                    break;
                default:
                    rows[i].to = later.substr(cut) + text(2);
            }
        }
        return chained;
    }

    // The same rows, in the same order, among rows that never match, so that the mapping has
    // `count` rows: most start as one of the rows does and go on with a byte no line holds, so
    // that they may begin at the end of any piece; the others look for that byte alone.
    Mapping padded(const Mapping& mapping, std::size_t count) {
        std::vector<MappingRow> rows(count - mapping.rows.size(), MappingRow{"~", "", 0});
        for (MappingRow& row : rows) {
            if (pick(4) == 0) continue;
            const std::string& like = mapping.rows[pick(mapping.rows.size())].from;
            row.from = like.substr(0, 1 + pick(like.size())) + "~";
        }
        std::size_t at = 0;
        for (std::size_t i = 0; i < mapping.rows.size(); ++i) {
            at += pick((rows.size() - at) / (mapping.rows.size() - i) + 1);
            rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at++), mapping.rows[i]);
        }
        return mappingOf(MatchMode::Contains, std::move(rows));
    }

    std::string line(const Mapping& mapping) {
        std::string line;
        for (std::size_t i = pick(10); i > 0; --i) {
            line += pick(3) == 0 ? text(3) : mapping.rows[pick(mapping.rows.size())].from;
        }
        return line;
    }

    std::size_t pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }

private:
    std::mt19937 random_;
};

}  // namespace skelvane::conversion
