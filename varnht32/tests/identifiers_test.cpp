#include "varnht32/src/identifiers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "varnht32/include/varnht32.h"
#include "varnht32/src/client.h"

namespace {

VNHIdentifier Record(const std::string& text) {
  VNHIdentifier r{};
  r.length = static_cast<std::uint32_t>(text.size());
  std::memcpy(r.text, text.data(), text.size() < 32 ? text.size() : 32);
  return r;
}

TEST(IdentifierTest, LegalIdentifiers) {
  struct Case {
    const char* text;
    std::int32_t legal;
    std::uint32_t kind;
  } cases[] = {
      {"STREM", 1, 1},   {"a b c", 1, 1},   {"%X1", 1, 0},     {"%X17777", 1, 0},
      {"%R0", 1, 0},     {"%R65535", 1, 0}, {"ABCD", 0, 9},    {"ABCDEF", 0, 9},
      {"%X8", 0, 9},     {"%X19", 0, 9},    {"%X", 0, 9},      {"%R", 0, 9},
      {"%R123456", 0, 9}, {"%X777777", 0, 9}, {"%ABCD", 0, 9},  {"%Q123", 0, 9},
      {"%x12", 0, 9},    {"", 0, 9},
  };
  for (const auto& c : cases) {
    VNHIdentifier r = Record(c.text);
    std::uint32_t kind = 9;
    EXPECT_EQ(VNHLegalIdentifier(&r, &kind), c.legal) << c.text;
    EXPECT_EQ(kind, c.kind) << c.text;
  }
  EXPECT_EQ(VNHLegalIdentifier(nullptr, nullptr), 0);
}

TEST(IdentifierTest, RecordLengthIsHeldToItsThirtyTwoCharacters) {
  VNHIdentifier r = Record("12345");
  r.length = 0xFFFFFFFFu;
  EXPECT_EQ(vnh::IdentifierText(&r).size(), 32u);
  EXPECT_TRUE(vnh::IdentifierText(nullptr).empty());
}

TEST(IdentifierTest, ChannelNames) {
  struct Case {
    const char* text;
    bool legal;
    std::uint32_t number;
  } cases[] = {
      {"1", true, 1},   {" 4 ", true, 4}, {"  5", true, 5}, {"12", true, 12},
      {"", false, 0},   {"  ", false, 0}, {"1a", false, 0}, {"-1", false, 0},
      {"1 2", false, 0}, {"+3", false, 0}, {"\t1", false, 0},
  };
  for (const auto& c : cases) {
    std::uint32_t number = 0;
    EXPECT_EQ(vnh::ParseChannelName(c.text, &number), c.legal) << '"' << c.text << '"';
    if (c.legal) {
      EXPECT_EQ(number, c.number) << c.text;
    }
  }
}

TEST(IdentifierTest, IdentityNamesArePaddedWithBlanks) {
  vnh::Identity id{};
  EXPECT_TRUE(vnh::SetIdentityName(id, "AFETX"));
  EXPECT_EQ(std::string(id.name, 5), "AFETX");
  EXPECT_TRUE(vnh::SetIdentityName(id, "VNH"));
  EXPECT_EQ(std::string(id.name, 5), "VNH  ");
  EXPECT_FALSE(vnh::SetIdentityName(id, ""));
  EXPECT_FALSE(vnh::SetIdentityName(id, "SIXSIX"));
  EXPECT_EQ(std::string(id.name, 5), "VNH  ");
}

TEST(ServerAppNameTest, ProgramMayBeTheServer) {
  struct Case {
    const char* app;
    const char* program;
    bool may;
  } cases[] = {
      {"", "/usr/bin/anything", true},
      {"PANEL", "C:\\tools\\panel.exe", true},
      {"PANEL", "/opt/plant/panel", true},
      {"PANEL", "/opt/plant/Panel.EXE", true},
      {"PANEL", "D:panel.exe", true},
      {"PANEL", "panel.old.exe", true},
      {"PANEL", "C:\\tools\\panelx.exe", false},
      {"PANEL", "/opt/pan.el", false},
      {"PANEL", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(vnh::ProgramMayBeServer(c.app, c.program), c.may) << c.app << " " << c.program;
  }
}

}  // namespace
