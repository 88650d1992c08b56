#include "reports/pdf/pdf_test_support.h"

#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "gfx/standard_fonts.h"
#include "platform/archive.h"
#include "platform/process_context.h"

namespace pdf_test {

void PdfTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  dir_ = std::filesystem::path(::testing::TempDir()) /
         (std::string("pdf_") + info->test_suite_name() + "_" + info->name() + "_" +
          std::to_string(::getpid()));
  std::filesystem::remove_all(dir_);
  std::filesystem::create_directories(dir_);
  platform::ResetProcessState();
  tvk_setErrorHandler([this](int severity, const std::string& module, const std::string& message) {
    reports_.push_back({severity, module, message});
  });
  tvk_setViewerLauncher([](const std::string&) { return 0; });
  tvk_prepare(0);
  ASSERT_EQ(tvk_open(), 0);
}

void PdfTest::TearDown() {
  platform::ResetProcessState();
  std::filesystem::remove_all(dir_);
}

std::string PdfTest::Finish() {
  EXPECT_EQ(tvk_finishDocument(clock_), 0);
  const auto bytes = tvk_memoryBuffer();
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

bool PdfTest::Reported(std::string_view text) const {
  for (const Report& r : reports_)
    if (r.message.find(text) != std::string::npos) return true;
  return false;
}

int PdfTest::BeginA4(int page) { return tvk_beginPage(page, 0, "0 0 595 842", "0 0 595 842"); }

int CountOf(std::string_view text, std::string_view what) {
  int n = 0;
  for (size_t pos = text.find(what); pos != std::string_view::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

namespace {

size_t ObjectStart(const std::string& pdf, int n) {
  const std::string head = std::to_string(n) + " 0 obj\n";
  if (pdf.compare(0, head.size(), head) == 0) return 0;
  const size_t pos = pdf.find("\n" + head);
  return pos == std::string::npos ? std::string::npos : pos + 1;
}

std::string Inflate(const std::string& bytes) {
  std::string out(bytes.size() * 20 + 1024, '\0');
  for (;;) {
    uLongf size = out.size();
    const int rc = uncompress(reinterpret_cast<Bytef*>(out.data()), &size,
                              reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
    if (rc == Z_BUF_ERROR) {
      out.resize(out.size() * 4);
      continue;
    }
    EXPECT_EQ(rc, Z_OK);
    out.resize(size);
    return out;
  }
}

}  // namespace

std::string ObjectText(const std::string& pdf, int n) {
  const size_t start = ObjectStart(pdf, n);
  if (start == std::string::npos) return {};
  const size_t end = pdf.find("endobj\n", start);
  return pdf.substr(start, end == std::string::npos ? std::string::npos : end + 7 - start);
}

std::vector<std::string> ContentStreams(const std::string& pdf) {
  std::vector<std::string> streams;
  const std::string pages = ObjectText(pdf, 3);
  std::istringstream kids(pages.substr(pages.find("/Kids [") + 7));
  int page_object = 0, gen = 0;
  std::string r;
  while (kids >> page_object >> gen >> r) {
    const std::string page = ObjectText(pdf, page_object);
    const size_t c = page.find("/Contents ");
    const int contents = std::atoi(page.c_str() + c + 10);
    const size_t start = ObjectStart(pdf, contents);
    const size_t length_at = pdf.find("/Length", start);
    const long length = std::atol(pdf.c_str() + length_at + 8);
    const size_t data = pdf.find("stream\n", start) + 7;
    const bool flate = pdf.substr(start, data - start).find("FlateDecode") != std::string::npos;
    const std::string raw = pdf.substr(data, static_cast<size_t>(length));
    EXPECT_EQ(pdf.compare(data + length, 11, "\nendstream\n"), 0) << "page object " << page_object;
    streams.push_back(flate ? Inflate(raw) : raw);
  }
  return streams;
}

void ExpectValidXref(const std::string& pdf) {
  const size_t sx = pdf.rfind("startxref\n");
  ASSERT_NE(sx, std::string::npos);
  const size_t xref = std::strtoul(pdf.c_str() + sx + 10, nullptr, 10);
  ASSERT_EQ(pdf.compare(xref, 5, "xref\n"), 0);
  const size_t count_line = xref + 5;
  const int size = std::atoi(pdf.c_str() + count_line + 2);
  const size_t first = pdf.find('\n', count_line) + 1;
  ASSERT_EQ(pdf.compare(first, 20, "0000000000 65535 f \n"), 0);
  for (int n = 1; n < size; ++n) {
    const std::string line = pdf.substr(first + 20 * n, 20);
    ASSERT_EQ(line.substr(10), " 00000 n \n") << "entry " << n;
    const size_t offset = std::strtoul(line.c_str(), nullptr, 10);
    const std::string head = std::to_string(n) + " 0 obj\n";
    EXPECT_EQ(pdf.compare(offset, head.size(), head), 0) << "object " << n << " at " << offset;
  }
  EXPECT_EQ(pdf.compare(first + 20 * size, 8, "trailer\n"), 0);
  EXPECT_NE(pdf.find("/Size " + std::to_string(size) + "\n"), std::string::npos);
}

bool HaveTool(const char* program) {
  const char* path = std::getenv("PATH");
  std::istringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':'))
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

ToolResult RunTool(const std::string& command) {
  ToolResult result{-1, {}};
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buf[4096];
  size_t n = 0;
  while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) result.output.append(buf, n);
  const int status = ::pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path.string();
}

std::string MakePfm(const std::string& ps_name, int first, int last, size_t cut_to) {
  const gfx::StandardFontMetrics& helvetica = *gfx::FindStandardFont("Helvetica");
  std::vector<uint8_t> b(147 + 52, 0);
  const uint32_t driver_info = static_cast<uint32_t>(b.size());
  for (const char c : ps_name) b.push_back(static_cast<uint8_t>(c));
  b.push_back(0);
  const uint32_t extent = static_cast<uint32_t>(b.size());
  for (int c = first; c <= last; ++c) {
    b.push_back(0);
    b.push_back(0);
    platform::StoreLE16(&b[b.size() - 2], static_cast<uint16_t>(helvetica.winansi_widths[c]));
  }
  platform::StoreLE16(&b[0], 0x100);
  platform::StoreLE32(&b[2], static_cast<uint32_t>(b.size()));
  platform::StoreLE16(&b[74], 718);  // ascent
  b[90] = 0x21;                      // variable pitch, Swiss
  platform::StoreLE16(&b[91], 500);
  platform::StoreLE16(&b[93], 1000);
  b[95] = static_cast<uint8_t>(first);
  b[96] = static_cast<uint8_t>(last);
  platform::StoreLE16(&b[117], 30);
  platform::StoreLE32(&b[119], 147);
  platform::StoreLE32(&b[123], extent);
  platform::StoreLE32(&b[139], driver_info);
  platform::StoreLE16(&b[147], 52);
  platform::StoreLE16(&b[147 + 14], 718);  // cap height
  platform::StoreLE16(&b[147 + 16], 523);  // x height
  platform::StoreLE16(&b[147 + 20], 207);  // lower-case descent
  platform::StoreLE16(&b[147 + 22], static_cast<uint16_t>(-120));  // slant, 1/10 degree
  if (cut_to != 0) b.resize(cut_to);
  return {b.begin(), b.end()};
}

std::filesystem::path FixturePath(std::string_view leaf) {
  return std::filesystem::path(ZK_SOURCE_DIR) / "tests" / "fixtures" / "pdf" / leaf;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
  const std::filesystem::path path =
      std::filesystem::path(ZK_SOURCE_DIR) / "tests" / "golden" / "reports" / "pdf" / name;
  const char* update = std::getenv("UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    WriteFile(path, actual);
    return;
  }
  std::ifstream in(path, std::ios::binary);
  ASSERT_TRUE(in) << "golden file missing: " << path << " (run with UPDATE_GOLDEN=1)";
  std::ostringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(actual, expected.str()) << "differs from " << path;
}

}  // namespace pdf_test
