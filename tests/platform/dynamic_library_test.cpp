#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

#include "test_dir.h"

namespace platform {
namespace {

TEST(DynamicLibrary, FailuresAreReportedNotFatal) {
  const auto dir = testing_support::MakeTestDir();
  testing_support::WriteText(dir / "libNotElf.so", "this is text, not a library");
  struct Case {
    const char* name;
    std::filesystem::path file;
    const char* named;
  };
  const Case cases[] = {
      {"missing by name", "libZK470NoSuchLibrary.so", "libZK470NoSuchLibrary.so"},
      {"missing by path", dir / "libVRA.so", "libVRA.so"},
      {"not a library", dir / "libNotElf.so", "libNotElf.so"},
      {"no name", "", "no library name"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DynamicLibrary library;
    EXPECT_FALSE(library.Open(c.file));
    EXPECT_FALSE(library.IsOpen());
    EXPECT_NE(library.Error().find(c.named), std::string::npos) << library.Error();
    EXPECT_EQ(library.Symbol("VRAVersion"), nullptr);
    EXPECT_NE(library.Error().find("VRAVersion"), std::string::npos) << library.Error();
  }
}

TEST(DynamicLibrary, FindsSymbolsAndReportsMissingOnes) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Open("libm.so.6")) << library.Error();
  auto* cosine = library.Function<double(double)>("cos");
  ASSERT_NE(cosine, nullptr) << library.Error();
  EXPECT_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(library.Symbol("ZK470NoSuchSymbol"), nullptr);
  EXPECT_NE(library.Error().find("ZK470NoSuchSymbol"), std::string::npos) << library.Error();

  DynamicLibrary moved = std::move(library);
  EXPECT_FALSE(library.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  EXPECT_NE(moved.Symbol("sin"), nullptr);
  EXPECT_FALSE(moved.Open("libZK470NoSuchLibrary.so"));
  EXPECT_FALSE(moved.IsOpen()) << "a failed open leaves nothing open";
}

}  // namespace
}  // namespace platform
