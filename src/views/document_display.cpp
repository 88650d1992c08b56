#include "views/document_display.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

#include "document/recording_files.h"
#include "document/ref_signal_file.h"
#include "document/zk470_doc.h"
#include "platform/process_context.h"
#include "win/window.h"

namespace {

// Posted by the first paint; the offer runs once the paint is over.
constexpr uint32_t kOfferDeleteMessage = win::kWmUser + 0x1D3;
// A viewer outside the client until the first layout places it.
constexpr gfx::Rect kFirstPlace{10, 10, 500, 500};

DocumentDisplayFactory& Factory() {
  static DocumentDisplayFactory factory;
  return factory;
}

CDocumentBrowserServices& Services() {
  static CDocumentBrowserServices services;
  return services;
}

[[maybe_unused]] const bool kResetRegistered =
    platform::RegisterProcessReset(platform::ProcessLayer::kViews, [] { Services() = {}; });

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y && std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// The sample file's extension by the kind a PDF export remembers; nullptr for kind 6 and none.
const char* SampleExtension(int kind) {
  switch (kind) {
    case 0:
      return "CMP";
    case 2:
      return "TAP";
    case 3:
      return "RX3";
    case 4:
      return "KZC";
    case 5:
      return "KHI";
    default:
      return nullptr;
  }
}

}  // namespace

void SetDocumentDisplayFactory(DocumentDisplayFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<DocumentDisplay> CreateDocumentDisplay(win::Window& parent) {
  if (!Factory()) return std::make_unique<RecordingDocumentDisplay>();
  return Factory()(parent);
}

void RecordingDocumentDisplay::Navigate(const std::string& url) {
  if (check_ && check_(url)) {
    log_.push_back("cancelled " + url);
    return;
  }
  shown_ = url;
  log_.push_back("navigate " + url);
}

void RecordingDocumentDisplay::Place(const gfx::Rect& rect) {
  log_.push_back("place " + std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
                 std::to_string(rect.right) + " " + std::to_string(rect.bottom));
}

CWebBrowser2::CWebBrowser2(std::unique_ptr<DocumentDisplay> display) : display_(std::move(display)) {
  display_->SetBeforeNavigate([this](const std::string& url) { return OnBeforeNavigate2(url); });
}

bool CWebBrowser2::OnBeforeNavigate2(const std::string& url) const {
  return !EqualIgnoringAsciiCase(url, document_path_);
}

void SetDocumentBrowserServices(CDocumentBrowserServices services) { Services() = std::move(services); }

std::unique_ptr<CAreaWnd> CDocumentBrowserWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CDocumentBrowserWnd>(this, document);
}

CDocumentBrowserWnd::CDocumentBrowserWnd(CWindowAreaConfig* config, CZK470Doc* document)
    : CAreaWnd(config, document) {}

CDocumentBrowserWnd::~CDocumentBrowserWnd() = default;

void CDocumentBrowserWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  std::unique_ptr<DocumentDisplay> display = CreateDocumentDisplay(*this);
  if (display == nullptr) {
    if (Services().end_automation) Services().end_automation(kBrowserFailedExitCode);
    return;
  }
  browser_ = std::make_unique<CWebBrowser2>(std::move(display));
  browser_->MoveWindow(kFirstPlace);
  navigated_ = true;
  const std::string path = GetDocument() != nullptr ? GetDocument()->GetDocumentPath() : std::string();
  browser_->SetDocumentPath(path);
  browser_->Navigate2(path);
}

void CDocumentBrowserWnd::OnLayout(int left, int top, int right, int bottom) {
  if (browser_ != nullptr) browser_->MoveWindow({left, top, right, bottom});
}

void CDocumentBrowserWnd::OnAreaNotify(document::DocumentView*, int hint, THintObject* object) {
  if (browser_ == nullptr || object != nullptr) return;
  if (hint != hint::kDocumentChanged && hint != hint::kSpanMoved) return;
  const std::string path = GetDocument() != nullptr ? GetDocument()->GetDocumentPath() : std::string();
  browser_->SetDocumentPath(path);
  browser_->Navigate2(path);
}

void CDocumentBrowserWnd::Draw(gfx::Canvas&, const gfx::Rect&) {
  RefreshUnderWaitCursor();
  if (!navigated_) return;
  navigated_ = false;
  CZK470Doc* doc = GetDocument();
  if (doc == nullptr) return;
  auto& fields = doc->GetViewFields().report_values;
  if (fields[kDeleteOfferField] == 0) return;
  fields[kDeleteOfferField] = 0;
  // The dialog must not run inside the paint: it would paint over a half-drawn screen and let
  // further paints in while it waits.
  offer_ = DeleteOffer{doc->GetDocumentPath(), fields[kSampleKindField]};
  fields[kSampleKindField] = -1;
  PostMessage(kOfferDeleteMessage);
}

win::LResult CDocumentBrowserWnd::WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) {
  if (message == kOfferDeleteMessage) {
    OfferDelete();
    return 0;
  }
  return CAreaWnd::WindowProc(message, wparam, lparam);
}

void CDocumentBrowserWnd::RefreshUnderWaitCursor() {
  if (browser_ == nullptr) return;
  win::Windows().BeginWaitCursor();
  browser_->Refresh2();
  win::Windows().EndWaitCursor();
}

void CDocumentBrowserWnd::OfferDelete() {
  if (!offer_) return;
  const DeleteOffer offer = std::move(*offer_);
  offer_.reset();
  const CDocumentBrowserServices& services = Services();
  if (services.confirm_delete && services.confirm_delete(this)) {
    if (CZK470Doc* doc = GetDocument()) doc->CloseRecordingFile(0);
    for (const std::string& file : RecordingFilesToDelete(offer.document_path, offer.sample_kind)) {
      std::error_code error;
      // A file in use or gone meanwhile stays; the others are still tried.
      std::filesystem::remove(file, error);
    }
    // The newest entry is the PDF just opened; the recording's own entry is the one that goes.
    if (services.remove_recent_file)
      services.remove_recent_file(document::ReplaceLastThree(offer.document_path, "QRS"));
  }
  RefreshUnderWaitCursor();
}

std::vector<std::string> RecordingFilesToDelete(const std::string& document_path, int sample_kind) {
  std::vector<std::string> files;
  if (document_path.size() < 3) return files;
  const auto add = [&](const std::string& candidate) {
    if (candidate.empty()) return;
    if (std::optional<std::string> found = document::ExistingFile(candidate)) files.push_back(*found);
  };
  add(document::ReplaceLastThree(document_path, "QRS"));
  add(document::ReplaceLastThree(document_path, "BAK"));
  if (const char* extension = SampleExtension(sample_kind)) {
    add(document::ReplaceLastThree(document_path, extension));
  } else if (sample_kind == 6) {
    add(FindRefSignalFile(document_path));
  }
  add(document::ReplaceLastThree(document_path, "PID"));
  add(document::ReplaceLastThree(document_path, "VQN"));
  return files;
}
