#include "platform/base/clipboard.h"

#include <gtest/gtest.h>

namespace {

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(OpenClipboard(nullptr));
        ASSERT_TRUE(EmptyClipboard());
        ASSERT_TRUE(CloseClipboard());
    }
};

TEST_F(ClipboardTest, FormatsAreSetAndReadWhileOpen)
{
    EXPECT_FALSE(SetClipboardData(520, {1, 2})) << "needs an open clipboard";
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_FALSE(OpenClipboard(nullptr)) << "a second opener must wait";
    EXPECT_TRUE(SetClipboardData(520, {1, 2, 0, 0}));
    EXPECT_TRUE(SetClipboardData(1, {'h', 'i', 0}));
    EXPECT_TRUE(SetClipboardData(520, {3, 0, 0}));
    EXPECT_TRUE(CloseClipboard());

    EXPECT_TRUE(IsClipboardFormatAvailable(520));
    EXPECT_TRUE(IsClipboardFormatAvailable(1));
    EXPECT_FALSE(IsClipboardFormatAvailable(521));
    EXPECT_FALSE(GetClipboardData(520)) << "reading needs an open clipboard";

    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(520), (ClipboardData{3, 0, 0}));
    EXPECT_EQ(GetClipboardData(1), (ClipboardData{'h', 'i', 0}));
    EXPECT_FALSE(GetClipboardData(521));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(520));
    EXPECT_TRUE(CloseClipboard());
}

class RecordingBackend : public ClipboardBackend {
public:
    void Empty() override
    {
        calls += "empty;";
        data.clear();
    }
    void SetData(UINT format, ClipboardData bytes) override
    {
        calls += "set " + std::to_string(format) + ";";
        data[format] = std::move(bytes);
    }
    std::optional<ClipboardData> GetData(UINT format) const override
    {
        auto it = data.find(format);
        return it == data.end() ? std::nullopt : std::optional<ClipboardData>(it->second);
    }
    bool HasFormat(UINT format) const override { return data.count(format) != 0; }
    void Commit() override { calls += "commit;"; }

    std::string calls;
    std::map<UINT, ClipboardData> data;
};

TEST_F(ClipboardTest, AnInstalledBackendHoldsTheDataAndIsToldOfChanges)
{
    RecordingBackend backend;
    ASSERT_EQ(SetClipboardBackend(&backend), nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_TRUE(SetClipboardData(520, {7}));
    EXPECT_TRUE(CloseClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(520), ClipboardData{7});
    EXPECT_TRUE(CloseClipboard());
    // Only a change is committed.
    EXPECT_EQ(backend.calls, "empty;set 520;commit;");
    EXPECT_EQ(SetClipboardBackend(nullptr), &backend);
    EXPECT_FALSE(IsClipboardFormatAvailable(520)) << "the in-process clipboard is back, untouched";
}

}  // namespace
