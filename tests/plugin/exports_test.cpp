#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<char>;

Bytes read_file(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error(std::string("cannot read ") + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename Record>
Record record_at(const Bytes& file, std::size_t offset) {
    if (offset > file.size() || file.size() - offset < sizeof(Record)) {
        throw std::runtime_error("ELF record past the end of the file");
    }
    Record record;
    std::memcpy(&record, file.data() + offset, sizeof record);
    return record;
}

struct Symbol {
    std::string name;
    unsigned char type;
};

// The symbols a library defines in its dynamic symbol table, as the loader
// sees them: global or weak, not undefined.
std::vector<Symbol> defined_dynamic_symbols(const Bytes& file) {
    const auto header = record_at<Elf64_Ehdr>(file, 0);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64) {
        throw std::runtime_error("not a 64-bit ELF file");
    }
    std::vector<Elf64_Shdr> sections;
    for (std::size_t index = 0; index < header.e_shnum; ++index) {
        sections.push_back(
            record_at<Elf64_Shdr>(file, header.e_shoff + index * header.e_shentsize));
    }
    std::vector<Symbol> symbols;
    for (const Elf64_Shdr& section : sections) {
        if (section.sh_type != SHT_DYNSYM) {
            continue;
        }
        const Elf64_Shdr& names = sections.at(section.sh_link);
        for (std::size_t offset = 0; offset < section.sh_size; offset += sizeof(Elf64_Sym)) {
            const auto symbol = record_at<Elf64_Sym>(file, section.sh_offset + offset);
            const unsigned char binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF ||
                (binding != STB_GLOBAL && binding != STB_WEAK && binding != STB_GNU_UNIQUE)) {
                continue;
            }
            if (symbol.st_name >= names.sh_size) {
                throw std::runtime_error("symbol name past its string table");
            }
            const char* name = file.data() + names.sh_offset + symbol.st_name;
            symbols.push_back({name, static_cast<unsigned char>(ELF64_ST_TYPE(symbol.st_info))});
        }
    }
    return symbols;
}

TEST(plugin_exports, exactly_the_five_entry_points) {
    const std::vector<Symbol> symbols = defined_dynamic_symbols(read_file(QUILLON_PLUGIN_PATH));
    std::set<std::string> names;
    for (const Symbol& symbol : symbols) {
        names.insert(symbol.name);
        EXPECT_EQ(symbol.type, STT_FUNC) << symbol.name;
    }
    const std::set<std::string> expected = {"zeldll_identity", "zeldll_init", "zeldll_interface",
                                            "zeldll_unload", "zeldll_version"};
    EXPECT_EQ(names, expected);
    // Each once: no second version of an entry point.
    EXPECT_EQ(symbols.size(), expected.size());
}

}  // namespace
