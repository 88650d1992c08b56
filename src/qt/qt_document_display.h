#pragma once

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <string>

#include "views/document_display.h"

class QPdfDocument;
class QPdfView;
class QTextBrowser;
class QUrl;
class QWidget;

namespace qthost {

class QtHost;

// The document display on screen: ".PDF" files in a QPdfView, HTML and text in a QTextBrowser that
// follows no link by itself (a click is a navigation the window's check may cancel). The viewer
// is a child of the Qt window that shows the tree's top-level window, kept over the tree window
// it was made for; a window whose top level has no Qt window yet gets its viewer when it has one
// (at the next place or refresh). Owns its viewers; user-interface thread only.
class QtDocumentDisplay : public DocumentDisplay {
 public:
  QtDocumentDisplay(QtHost& host, win::Window& window);
  ~QtDocumentDisplay() override;
  QtDocumentDisplay(const QtDocumentDisplay&) = delete;
  QtDocumentDisplay& operator=(const QtDocumentDisplay&) = delete;

  void SetBeforeNavigate(BeforeNavigate check) override { check_ = std::move(check); }
  void Navigate(const std::string& url) override;
  // Loads the file again when it changed on disk since it was shown.
  void Refresh() override;
  void Place(const gfx::Rect& rect) override;

  // The viewer in use; nullptr before the first navigation that went through.
  QWidget* Viewer() const;
  QPdfDocument* PdfDocument() const;
  QTextBrowser* TextBrowser() const;

 private:
  // The Qt window of the tree window's top level; nullptr while it has none.
  QWidget* TopLevelWidget();
  void Show(const QString& path);
  void ShowPdf(const QString& path);
  void ShowText(const QString& path);
  void LinkClicked(const QUrl& url);
  void UseViewer(QWidget* viewer);

  QtHost& host_;
  win::Window& window_;
  QPointer<QWidget> top_level_;
  BeforeNavigate check_;
  QPointer<QPdfView> pdf_view_;
  QPointer<QPdfDocument> pdf_document_;
  QPointer<QTextBrowser> text_browser_;
  QPointer<QWidget> viewer_;
  gfx::Rect place_;
  QString shown_path_;
  // The file of shown_path_ is in a viewer.
  bool loaded_ = false;
  QDateTime shown_modified_;
  qint64 shown_size_ = -1;
};

// Makes the Qt viewers the document display of the views, in the Qt windows of host.
void InstallQtDocumentDisplay(QtHost& host);
// Puts the headless display back; before the host goes.
void RemoveQtDocumentDisplay();

}  // namespace qthost
