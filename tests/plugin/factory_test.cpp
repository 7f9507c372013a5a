#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include <nlohmann/json.hpp>

#include "loaded_plugin.h"
#include "model_json.h"

// The plug-in allocates its blocks with the non-throwing new; a test arms
// this to make the next such allocation fail. The replacement serves the
// dlopen-ed plug-in too, as it would in a host.
namespace {
bool fail_next_nothrow_new = false;
}  // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (fail_next_nothrow_new) {
        fail_next_nothrow_new = false;
        return nullptr;
    }
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

using namespace model_json;

constexpr const char* UNABLE_TO_LOAD = "Unable to load Json model object";
constexpr const char* FAILED_TO_CREATE = "Failed to create QUILLON Model Type Adapter";

struct Dimensions {
    int variables = -1;
    int equations = -1;
    int nonzeros = -1;
    bool operator==(const Dimensions& other) const {
        return variables == other.variables && equations == other.equations &&
               nonzeros == other.nonzeros;
    }
};

void PrintTo(const Dimensions& d, std::ostream* out) {
    *out << d.variables << "/" << d.equations << "/" << d.nonzeros;
}

Dimensions dimensions_of(ZELEOBlock& block) {
    Dimensions found;
    std::int64_t status = 0;
    block.dim(found.variables, found.equations, found.nonzeros, status);
    return found;
}

// Two variables, one equation with three entries: dimensions no empty or
// default block has.
const std::string SMALL_MODEL = model_text(
    {equation("E1", sum({reference("x"), reference("y"), number(-1.0)}),
              {entry("x", number(1.0)), entry("y", number(1.0)), entry("x", number(0.0))})},
    {variable("x"), variable("y")});
const Dimensions SMALL_DIMENSIONS{2, 1, 3};

// `path` spelled with "/." steps after its first directory, so that it has
// exactly `length` characters and still names the same file.
std::string path_of_length(const std::string& path, std::size_t length) {
    const std::size_t split = path.find('/', 1);
    std::string padding;
    while (path.size() + padding.size() + 2 <= length) {
        padding += "/.";
    }
    if (path.size() + padding.size() < length) {
        padding += "/";
    }
    return path.substr(0, split) + padding + path.substr(split);
}

// Changes into a fresh folder for its life.
class InFreshFolder {
  public:
    InFreshFolder() {
        char name[] = "/tmp/quillon-folder-XXXXXX";
        folder_ = mkdtemp(name);
        char previous[PATH_MAX];
        previous_ = getcwd(previous, sizeof previous);
        std::filesystem::current_path(folder_);
    }
    ~InFreshFolder() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
    }
    InFreshFolder(const InFreshFolder&) = delete;
    InFreshFolder& operator=(const InFreshFolder&) = delete;

  private:
    std::string folder_;
    std::string previous_;
};

TEST(plugin_factory, takes_the_path_after_the_prefix_in_any_case) {
    LoadedPlugin plugin;
    const TempModelFile file(SMALL_MODEL);
    for (const char* prefix : {"model=", "MODEL=", "Model=", "mOdEl=", ""}) {
        const std::string text = prefix + file.path();
        const value_t parameter = text_parameter(text.c_str());
        BlockHandle block(plugin.factory().create("B", &parameter));
        ASSERT_NE(block, nullptr) << text;
        EXPECT_EQ(dimensions_of(*block), SMALL_DIMENSIONS) << text;
    }
    EXPECT_FALSE(plugin.blocks_alive());
    EXPECT_STREQ(plugin.factory().error_message(), "");
}

TEST(plugin_factory, reads_the_whole_text_unless_it_starts_with_the_prefix) {
    LoadedPlugin plugin;
    const TempModelFile file(SMALL_MODEL);
    for (const char* prefix : {" model=", "model", "model:", "mode=", "xmodel=", "model=model="}) {
        const std::string text = prefix + file.path();
        const value_t parameter = text_parameter(text.c_str());
        try {
            plugin.factory().create("B", &parameter);
            ADD_FAILURE() << "no exception for " << text;
        } catch (const nlohmann::json::parse_error& error) {
            EXPECT_EQ(error.id, 101) << text;
        }
        EXPECT_FALSE(plugin.blocks_alive()) << text;
    }
}

TEST(plugin_factory, takes_exactly_the_prefix_as_a_file_name) {
    LoadedPlugin plugin;
    const InFreshFolder folder;
    std::ofstream("model=") << SMALL_MODEL;
    const value_t parameter = text_parameter("model=");
    BlockHandle block(plugin.factory().create("B", &parameter));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(dimensions_of(*block), SMALL_DIMENSIONS);
}

TEST(plugin_factory, gives_an_empty_block_without_parameter) {
    LoadedPlugin plugin;
    BlockHandle block(plugin.factory().create("EMPTY", nullptr));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(dimensions_of(*block), (Dimensions{0, 0, 0}));
    EXPECT_STREQ(block->name(), "EMPTY");
    EXPECT_TRUE(plugin.blocks_alive());
    EXPECT_STREQ(plugin.factory().error_message(), "");
}

TEST(plugin_factory, refuses_a_parameter_that_is_not_text) {
    LoadedPlugin plugin;
    // Alive throughout, so that a count lowered too far shows as well.
    BlockHandle alive(plugin.factory().create("ALIVE", nullptr));
    const TempModelFile file(SMALL_MODEL);
    const std::string text = "model=" + file.path();
    for (const std::int32_t type : {VALUE_NONE, VALUE_INTEGER, VALUE_REAL, 99, -1}) {
        value_t parameter = text_parameter(text.c_str());
        parameter.type = type;
        EXPECT_EQ(plugin.factory().create("B", &parameter), nullptr) << type;
        EXPECT_STREQ(plugin.factory().error_message(), UNABLE_TO_LOAD) << type;
        EXPECT_TRUE(plugin.blocks_alive()) << type;
    }
    // A text parameter whose text is missing.
    const value_t no_text = text_parameter(nullptr);
    EXPECT_EQ(plugin.factory().create("B", &no_text), nullptr);
    EXPECT_STREQ(plugin.factory().error_message(), UNABLE_TO_LOAD);
    EXPECT_TRUE(plugin.blocks_alive());
    alive.reset();
    EXPECT_FALSE(plugin.blocks_alive());
}

TEST(plugin_factory, reports_a_failed_allocation) {
    LoadedPlugin plugin;
    const TempModelFile file(SMALL_MODEL);
    const std::string text = "model=" + file.path();
    const value_t parameter = text_parameter(text.c_str());
    fail_next_nothrow_new = true;
    ZELEOBlock* block = plugin.factory().create("B", &parameter);
    const bool allocation_was_tried = !fail_next_nothrow_new;
    fail_next_nothrow_new = false;
    ASSERT_TRUE(allocation_was_tried);
    EXPECT_EQ(block, nullptr);
    EXPECT_STREQ(plugin.factory().error_message(), FAILED_TO_CREATE);
    EXPECT_FALSE(plugin.blocks_alive());
}

TEST(plugin_factory, keeps_the_latest_failure_text_per_factory) {
    LoadedPlugin plugin;
    ZELBlkFactory& first = plugin.factory();
    ASSERT_EQ(plugin.library().init_entry(nullptr, &plugin.registry()), 0);
    ASSERT_EQ(plugin.registry().size(), 2U);
    const TempModelFile file(SMALL_MODEL);
    const std::string text = "model=" + file.path();
    const value_t loads = text_parameter(text.c_str());
    value_t not_text = loads;
    not_text.type = VALUE_REAL;

    EXPECT_EQ(first.create("B", &not_text), nullptr);
    EXPECT_STREQ(first.error_message(), UNABLE_TO_LOAD);
    BlockHandle made(first.create("B", &loads));
    ASSERT_NE(made, nullptr);
    BlockHandle empty(first.create("B", nullptr));
    EXPECT_STREQ(first.error_message(), UNABLE_TO_LOAD);

    fail_next_nothrow_new = true;
    EXPECT_EQ(first.create("B", &loads), nullptr);
    fail_next_nothrow_new = false;
    EXPECT_STREQ(first.error_message(), FAILED_TO_CREATE);
    BlockHandle made_again(first.create("B", &loads));
    EXPECT_STREQ(first.error_message(), FAILED_TO_CREATE);

    // The second factory has seen no failure; the registry finds the first
    // by name, so it is taken out for a while.
    ASSERT_EQ(plugin.registry().Remove(&first), 0);
    ZELBlkFactory* other = plugin.registry().Lookup("QUILLON");
    ASSERT_NE(other, nullptr);
    ASSERT_NE(other, &first);
    EXPECT_STREQ(other->error_message(), "");
    BlockHandle from_other(other->create("B", &loads));
    EXPECT_NE(from_other, nullptr);
    EXPECT_STREQ(other->error_message(), "");
    ASSERT_EQ(plugin.registry().AddFactory(&first), 0);
}

TEST(plugin_factory, counts_the_blocks_alive) {
    LoadedPlugin plugin;
    BlockHandle blocks[3];
    for (BlockHandle& block : blocks) {
        block.reset(plugin.factory().create("B", nullptr));
        ASSERT_NE(block, nullptr);
    }
    // The count is exact: unload refuses until the very last block is gone.
    for (BlockHandle& block : blocks) {
        EXPECT_TRUE(plugin.blocks_alive());
        block.reset();
    }
    EXPECT_FALSE(plugin.blocks_alive());
}

TEST(plugin_factory, restores_the_count_when_loading_fails) {
    LoadedPlugin plugin;
    BlockHandle alive(plugin.factory().create("ALIVE", nullptr));
    const std::string partly_read =
        model_text({equation("E1", number(1.0), {})}, {variable("x"), json{{"Min", 1.0}}});
    const std::string faults[] = {"", "{", "[1]", partly_read};
    for (const std::string& fault : faults) {
        EXPECT_THROW(create_from_text(plugin.factory(), "B", fault), nlohmann::json::exception)
            << fault;
        // Lowered by exactly the failed block: the one alive still counts.
        EXPECT_TRUE(plugin.blocks_alive()) << fault;
    }
    const value_t missing = text_parameter("model=/nonexistent/quillon/model.json");
    EXPECT_THROW(plugin.factory().create("B", &missing), nlohmann::json::parse_error);
    EXPECT_TRUE(plugin.blocks_alive());
    alive.reset();
    EXPECT_FALSE(plugin.blocks_alive());
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 0);
}

TEST(plugin_factory, reads_the_full_path_of_a_long_parameter) {
    LoadedPlugin plugin;
    const TempModelFile file(SMALL_MODEL);
    for (const std::size_t length : {1023U, 1024U, 1025U, 3000U}) {
        const std::string text = "model=" + path_of_length(file.path(), length - 6);
        ASSERT_EQ(text.size(), length);
        const value_t parameter = text_parameter(text.c_str());
        BlockHandle block(plugin.factory().create("B", &parameter));
        ASSERT_NE(block, nullptr) << length;
        EXPECT_EQ(dimensions_of(*block), SMALL_DIMENSIONS) << length;
    }
}

}  // namespace
