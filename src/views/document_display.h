#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gfx/geometry.h"
#include "views/window_area.h"

namespace win {
class Window;
}

// A viewer of one document file inside a window of the tree: the host's PDF and text viewers on
// screen, a recording stand-in headless. Owned by the window it was made for; user-interface
// thread only.
class DocumentDisplay {
 public:
  // Asked before every navigation, the display's own and a click on a link in the shown document;
  // true cancels it.
  using BeforeNavigate = std::function<bool(const std::string& url)>;

  virtual ~DocumentDisplay() = default;
  virtual void SetBeforeNavigate(BeforeNavigate check) = 0;
  // Shows the file (a path, or an address the viewer knows) unless the check cancels.
  virtual void Navigate(const std::string& url) = 0;
  // Loads what is shown again.
  virtual void Refresh() = 0;
  // Moves the viewer onto rect, in the client coordinates of the window it was made for.
  virtual void Place(const gfx::Rect& rect) = 0;
};

// Makes the viewer inside parent; nullptr when it cannot be made.
using DocumentDisplayFactory = std::function<std::unique_ptr<DocumentDisplay>(win::Window& parent)>;
// The host installs its viewers at start-up; empty puts the headless recording display back.
// Describes the program, not one run: the process reset keeps it.
void SetDocumentDisplayFactory(DocumentDisplayFactory factory);
std::unique_ptr<DocumentDisplay> CreateDocumentDisplay(win::Window& parent);

// The display without a screen: shows nothing and logs what it was asked, one line per call
// ("navigate <url>", "cancelled <url>", "refresh", "place l t r b").
class RecordingDocumentDisplay : public DocumentDisplay {
 public:
  void SetBeforeNavigate(BeforeNavigate check) override { check_ = std::move(check); }
  void Navigate(const std::string& url) override;
  void Refresh() override { log_.push_back("refresh"); }
  void Place(const gfx::Rect& rect) override;

  // A click on a link inside the shown document: the same check as any navigation.
  void ClickLink(const std::string& url) { Navigate(url); }
  // The address shown last; empty before the first navigation that went through.
  const std::string& Shown() const { return shown_; }
  const std::vector<std::string>& Log() const { return log_; }
  void ClearLog() { log_.clear(); }

 private:
  BeforeNavigate check_;
  std::string shown_;
  std::vector<std::string> log_;
};

// The browser of the document display window: keeps its viewer on the one document path it was
// given and cancels any navigation elsewhere. Owns the viewer.
class CWebBrowser2 {
 public:
  explicit CWebBrowser2(std::unique_ptr<DocumentDisplay> display);
  CWebBrowser2(const CWebBrowser2&) = delete;
  CWebBrowser2& operator=(const CWebBrowser2&) = delete;

  void SetDocumentPath(std::string path) { document_path_ = std::move(path); }
  const std::string& GetDocumentPath() const { return document_path_; }
  // True (cancel) for any address but the document path; ASCII letters compare without case.
  bool OnBeforeNavigate2(const std::string& url) const;
  void Navigate2(const std::string& url) { display_->Navigate(url); }
  void Refresh2() { display_->Refresh(); }
  void MoveWindow(const gfx::Rect& rect) { display_->Place(rect); }
  DocumentDisplay& GetDisplay() const { return *display_; }

 private:
  std::unique_ptr<DocumentDisplay> display_;
  std::string document_path_;
};

// What the document display window needs of the layers above it; the application installs them
// at start-up. An empty slot offers nothing, keeps the recent-file list and ends no run.
struct CDocumentBrowserServices {
  // The delete choice dialog and, after its delete button, the yes/no question: true only for Yes.
  std::function<bool(win::Window* parent)> confirm_delete;
  // Takes the file's entry out of the recent-file list, when it has one.
  std::function<void(const std::string& path)> remove_recent_file;
  // Records the exit code of an automation run and ends the run.
  std::function<void(int exit_code)> end_automation;
};

// Process-wide; the process reset empties it.
void SetDocumentBrowserServices(CDocumentBrowserServices services);

// Layout 18's only node: the window that shows the open PDF document.
class CDocumentBrowserWindowConfig : public CWindowAreaConfig {
 public:
  using CWindowAreaConfig::CWindowAreaConfig;
  std::string_view GetClassName() const override { return "CDocumentBrowserWindowConfig"; }
  std::unique_ptr<CAreaWnd> CreateWindow(CZK470Doc* document) override;
};

// Shows the document's file in a browser child and keeps it there. Right after a report was
// exported to PDF and opened, its first paint offers to delete the recording's files; the offer
// runs from a posted message, never inside the paint.
class CDocumentBrowserWnd : public CAreaWnd {
 public:
  static constexpr int kBrowserId = 10;
  // The automation exit code when the browser cannot be made.
  static constexpr int kBrowserFailedExitCode = 33;
  // The two report ints of the document's view fields that a PDF export leaves here: the
  // delete-offer flag and the sample file kind of the exported recording (-1 none).
  static constexpr size_t kDeleteOfferField = 0;
  static constexpr size_t kSampleKindField = 1;

  CDocumentBrowserWnd(CWindowAreaConfig* config, CZK470Doc* document);
  ~CDocumentBrowserWnd() override;

  void Attach(CBaseView* view) override;
  void OnLayout(int left, int top, int right, int bottom) override;
  void OnAreaNotify(document::DocumentView* sender, int hint, THintObject* object) override;
  void Draw(gfx::Canvas& dc, const gfx::Rect& update) override;

  // nullptr until Attach, and when the viewer could not be made.
  CWebBrowser2* GetBrowser() const { return browser_.get(); }
  std::string_view ClassName() const override { return "DocumentBrowser"; }

 protected:
  win::LResult WindowProc(uint32_t message, win::WParam wparam, win::LParam lparam) override;

 private:
  struct DeleteOffer {
    std::string document_path;
    int sample_kind = -1;
  };

  void RefreshUnderWaitCursor();
  void OfferDelete();

  std::unique_ptr<CWebBrowser2> browser_;
  bool navigated_ = false;
  // Taken by the first paint, run by the posted message.
  std::optional<DeleteOffer> offer_;
};

// The recording files beside document_path in the order they go: ".QRS", ".BAK", the sample
// file of the kind (0 "CMP", 2 "TAP", 3 "RX3", 4 "KZC", 5 "KHI", 6 the reference signal file,
// any other none), ".PID", ".VQN"; only those that exist, as found on disk.
std::vector<std::string> RecordingFilesToDelete(const std::string& document_path, int sample_kind);
