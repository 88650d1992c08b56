#include "qt/qt_document_display.h"

#include <QFile>
#include <QFileInfo>
#include <QPdfDocument>
#include <QPdfView>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <memory>

#include "qt/qt_host.h"
#include "win/window.h"

namespace qthost {

namespace {

// A local file as a path, anything else as the address it is.
std::string AddressOf(const QUrl& url) {
  return url.isLocalFile() ? url.toLocalFile().toStdString() : url.toString().toStdString();
}

bool IsPdf(const QString& path) { return path.endsWith(QStringLiteral(".PDF"), Qt::CaseInsensitive); }

bool IsHtml(const QString& path) {
  return path.endsWith(QStringLiteral(".HTM"), Qt::CaseInsensitive) ||
         path.endsWith(QStringLiteral(".HTML"), Qt::CaseInsensitive);
}

}  // namespace

QtDocumentDisplay::QtDocumentDisplay(QtHost& host, win::Window& window) : host_(host), window_(window) {}

QtDocumentDisplay::~QtDocumentDisplay() {
  // The top-level widget may have taken its children along already.
  delete pdf_view_.data();
  delete pdf_document_.data();
  delete text_browser_.data();
}

QWidget* QtDocumentDisplay::Viewer() const { return viewer_.data(); }

QPdfDocument* QtDocumentDisplay::PdfDocument() const { return pdf_document_.data(); }

QTextBrowser* QtDocumentDisplay::TextBrowser() const { return text_browser_.data(); }

void QtDocumentDisplay::Navigate(const std::string& url) {
  if (check_ && check_(url)) return;
  const QUrl as_url(QString::fromStdString(url));
  Show(as_url.isLocalFile() ? as_url.toLocalFile() : QString::fromStdString(url));
}

QWidget* QtDocumentDisplay::TopLevelWidget() {
  if (top_level_.isNull()) {
    win::Window* top = window_.GetTopLevel();
    top_level_ = top != nullptr ? host_.WidgetOf(*top) : nullptr;
  }
  return top_level_.data();
}

void QtDocumentDisplay::Refresh() {
  if (shown_path_.isEmpty()) return;
  if (!loaded_) {
    Show(shown_path_);
    return;
  }
  const QFileInfo info(shown_path_);
  if (info.lastModified() == shown_modified_ && info.size() == shown_size_) return;
  Show(shown_path_);
}

void QtDocumentDisplay::Place(const gfx::Rect& rect) {
  place_ = rect;
  if (!loaded_ && !shown_path_.isEmpty()) {
    Show(shown_path_);
    return;
  }
  if (viewer_.isNull()) return;
  const gfx::Point origin = window_.OffsetInTopLevel();
  viewer_->setGeometry(origin.x + rect.left, origin.y + rect.top, rect.Width(), rect.Height());
}

void QtDocumentDisplay::Show(const QString& path) {
  shown_path_ = path;
  loaded_ = false;
  if (TopLevelWidget() == nullptr) return;
  loaded_ = true;
  const QFileInfo info(path);
  shown_modified_ = info.lastModified();
  shown_size_ = info.exists() ? info.size() : -1;
  if (IsPdf(path)) {
    ShowPdf(path);
  } else {
    ShowText(path);
  }
}

void QtDocumentDisplay::ShowPdf(const QString& path) {
  if (pdf_view_.isNull()) {
    pdf_document_ = new QPdfDocument(top_level_.data());
    pdf_view_ = new QPdfView(top_level_.data());
    pdf_view_->setDocument(pdf_document_.data());
    pdf_view_->setPageMode(QPdfView::PageMode::MultiPage);
    pdf_view_->setZoomMode(QPdfView::ZoomMode::FitToWidth);
  }
  // A file that does not load leaves the view empty; the viewer has nothing else to say.
  pdf_document_->load(path);
  UseViewer(pdf_view_.data());
}

void QtDocumentDisplay::ShowText(const QString& path) {
  if (text_browser_.isNull()) {
    text_browser_ = new QTextBrowser(top_level_.data());
    text_browser_->setOpenLinks(false);
    text_browser_->setOpenExternalLinks(false);
    QObject::connect(text_browser_.data(), &QTextBrowser::anchorClicked, text_browser_.data(),
                     [this](const QUrl& url) { LinkClicked(url); });
  }
  if (IsHtml(path)) {
    text_browser_->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
  } else {
    QFile file(path);
    const bool read = file.open(QIODevice::ReadOnly);
    text_browser_->setPlainText(read ? QString::fromUtf8(file.readAll()) : QString());
  }
  UseViewer(text_browser_.data());
}

void QtDocumentDisplay::LinkClicked(const QUrl& url) {
  if (text_browser_.isNull()) return;
  Navigate(AddressOf(text_browser_->source().resolved(url)));
}

void QtDocumentDisplay::UseViewer(QWidget* viewer) {
  for (QWidget* other :
       {static_cast<QWidget*>(pdf_view_.data()), static_cast<QWidget*>(text_browser_.data())}) {
    if (other != nullptr && other != viewer) other->hide();
  }
  viewer_ = viewer;
  Place(place_);
  viewer->show();
  viewer->raise();
}

void InstallQtDocumentDisplay(QtHost& host) {
  SetDocumentDisplayFactory([&host](win::Window& window) -> std::unique_ptr<DocumentDisplay> {
    return std::make_unique<QtDocumentDisplay>(host, window);
  });
}

void RemoveQtDocumentDisplay() { SetDocumentDisplayFactory({}); }

}  // namespace qthost
