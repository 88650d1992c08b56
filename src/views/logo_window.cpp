#include "views/logo_window.h"

#include <cstdlib>
#include <string>

#include "document/zk470_doc.h"
#include "platform/io_error.h"

std::unique_ptr<CAreaWnd> CLogoWindowConfig::CreateWindow(CZK470Doc* document) {
  return std::make_unique<CLogoWnd>(this, document);
}

void CLogoWnd::Attach(CBaseView* view) {
  CAreaWnd::Attach(view);
  if (GetDocument() == nullptr) return;
  const std::string folder = GetDocument()->GetMainDirectory();
  const std::string_view files[] = {kProductLogoFile, kMakerLogoFile};
  for (size_t i = 0; i < pictures_.size(); ++i) {
    Picture& picture = pictures_[i];
    picture = {};
    try {
      picture.dib.Read(CZK470Doc::JoinPath(folder, files[i]));
    } catch (const platform::IoError&) {
      // The start screen simply stays without this picture.
      continue;
    }
    picture.loaded = true;
    picture.palette_valid = picture.palette.CreateFromDIB(picture.dib);
    picture.width = picture.dib.GetWidth();
    // A top-down file stores its height negative.
    picture.height = std::abs(picture.dib.GetHeight());
  }
}

void CLogoWnd::Draw(gfx::Canvas& dc, const gfx::Rect&) {
  // The pictures are drawn in their own colours; on a true-colour canvas their palettes need no
  // realizing.
  const gfx::Rect client = GetClientRect();
  const Picture& product = pictures_[0];
  if (product.loaded) {
    product.dib.Draw(dc, client.Width() / 2 - product.width / 2, client.Height() / 2 - product.height / 2);
  }
  const Picture& maker = pictures_[1];
  if (maker.loaded) maker.dib.Draw(dc, client.right - kMakerLogoFromRight, client.top + kMakerLogoFromTop);
}
