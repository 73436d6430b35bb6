// Loads, parses and looks up every string id of every language file, round after round, with the
// program's reader and with pugixml on the same files in the same run; prints both times and
// their ratio.
//   lang_bench [FOLDER] [ROUNDS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "base/utf.h"
#include "lang/language_table.h"
#include "lang/linux/iconv_code_page.h"
#include "lang/xml_reader.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One round of the program's reader: every file into a table.
std::size_t ReaderRound(q350::lang::XmlReader& reader, const std::vector<fs::path>& files) {
    std::size_t chars = 0;
    q350::lang::LanguageTable table;
    for (const fs::path& file : files) {
        table.load(reader, file);
        for (std::size_t i = 0; i < q350::lang::kStringCount; ++i) {
            chars += table[static_cast<q350::lang::StringId>(i)].size();
        }
    }
    return chars;
}

// The same with pugixml: load (with its own encoding detection), parse, and copy out each id's
// text from the first config element below the root.
std::size_t PugiRound(const std::vector<fs::path>& files, const std::vector<std::string>& ids) {
    std::size_t chars = 0;
    std::vector<std::string> table(ids.size());
    for (const fs::path& file : files) {
        pugi::xml_document doc;
        doc.load_file(file.c_str());
        const pugi::xml_node config = doc.document_element().child("config");
        for (std::size_t i = 0; i < ids.size(); ++i) {
            table[i] = config.child(ids[i].c_str()).child_value();
            chars += table[i].size();
        }
    }
    return chars;
}

template <typename F>
double Seconds(F&& round) {
    const auto start = Clock::now();
    round();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::path(Q350_LANGUAGE_DIR);
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    std::vector<fs::path> files;
    if (fs::is_directory(folder)) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".xml") {
                files.push_back(entry.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "lang_bench: no .xml files in %s\n", folder.c_str());
        return 1;
    }
    std::vector<std::string> ids;
    for (std::u16string_view id : q350::lang::kStringIdNames) {
        ids.push_back(q350::Utf16ToUtf8(id));
    }

    q350::lang::IconvCodePageConverter converter;
    q350::lang::XmlReader reader(converter);
    std::size_t readerChars = 0;
    std::size_t pugiChars = 0;
    // Rounds alternate between the two so that both see the same machine load.
    double readerBest = 1e9;
    double pugiBest = 1e9;
    for (int r = 0; r < rounds; ++r) {
        readerBest =
            std::min(readerBest, Seconds([&] { readerChars = ReaderRound(reader, files); }));
        pugiBest = std::min(pugiBest, Seconds([&] { pugiChars = PugiRound(files, ids); }));
    }
    std::printf("files: %zu, ids per file: %zu, rounds: %d (best round shown)\n", files.size(),
                ids.size(), rounds);
    std::printf("reader:  %9.1f us per round (%zu UTF-16 units of text)\n", readerBest * 1e6,
                readerChars);
    std::printf("pugixml: %9.1f us per round (%zu UTF-8 bytes of text)\n", pugiBest * 1e6,
                pugiChars);
    std::printf("ratio reader/pugixml: %.2f\n", readerBest / pugiBest);
    return 0;
}
