#include <gtest/gtest.h>

#include "zel_factory.h"
#include "zel_frame.h"

namespace {

class NamedFactory : public ZELBlkFactory {
  public:
    explicit NamedFactory(const char* type_name) : type_name_(type_name) {}
    void release() override {}
    ZELEOBlock* create(const char* /*name*/, const value_t* /*parameter*/) override {
        return nullptr;
    }
    const char* type_name() const override { return type_name_; }
    const char* error_message() const override { return ""; }
    int capability_flags() const override { return 0; }

  private:
    const char* type_name_;
};

TEST(host_factory_lib, adds_each_factory_once) {
    ZELFactoryLib registry;
    NamedFactory factory("QUILLON");
    EXPECT_EQ(registry.AddFactory(nullptr), 1);
    EXPECT_EQ(registry.AddFactory(&factory), 0);
    EXPECT_EQ(registry.AddFactory(&factory), 1);
    EXPECT_EQ(registry.size(), 1U);
}

TEST(host_factory_lib, looks_up_by_exact_name_first_registered_first) {
    ZELFactoryLib registry;
    NamedFactory first("QUILLON");
    NamedFactory second("QUILLON");
    NamedFactory unnamed(nullptr);
    registry.AddFactory(&unnamed);
    registry.AddFactory(&first);
    registry.AddFactory(&second);

    EXPECT_EQ(registry.Lookup("QUILLON"), &first);
    for (const char* miss : {"quillon", "QUILLON ", "QUILL", ""}) {
        EXPECT_EQ(registry.Lookup(miss), nullptr) << miss;
    }
    EXPECT_EQ(registry.Lookup(nullptr), nullptr);

    EXPECT_EQ(registry.Remove(&first), 0);
    EXPECT_EQ(registry.Remove(&first), 1);
    EXPECT_EQ(registry.Remove(nullptr), 1);
    EXPECT_EQ(registry.Lookup("QUILLON"), &second);
}

TEST(host_convergence_summary, answers_zero_for_what_is_not_there) {
    rt_cvgsum_t summary;
    EXPECT_EQ(rtocvgsum_get_int_item(&summary, "STATUS"), 0);
    rtocvgsum_set_int_item(&summary, "STATUS", RT_NOT_CONVERGED);
    EXPECT_EQ(rtocvgsum_get_int_item(&summary, "STATUS"), RT_NOT_CONVERGED);
    EXPECT_EQ(rtocvgsum_get_int_item(&summary, "status"), 0);
    EXPECT_EQ(rtocvgsum_get_int_item(nullptr, "STATUS"), 0);
    EXPECT_EQ(rtocvgsum_get_int_item(&summary, nullptr), 0);
    rtocvgsum_set_int_item(nullptr, "STATUS", 1);
    rtocvgsum_set_int_item(&summary, nullptr, 1);
    EXPECT_EQ(summary.items.size(), 1U);
}

}  // namespace
