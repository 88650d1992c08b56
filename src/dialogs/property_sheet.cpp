#include "dialogs/property_sheet.h"

#include "platform/resources.h"
#include "win/prompt.h"
#include "win/system_metrics.h"

TPropertySheet::TPropertySheet(int caption_id, win::Window* parent, int select_page)
    : win::PropertySheet(caption_id, parent, select_page) {
  AddCommand(kExtraButtonId, [this] { OnExtraButton(); });
}

TPropertySheet::TPropertySheet(std::string caption, win::Window* parent, int select_page)
    : win::PropertySheet(std::move(caption), parent, select_page) {
  AddCommand(kExtraButtonId, [this] { OnExtraButton(); });
}

bool TPropertySheet::OnInitDialog() {
  const bool result = win::PropertySheet::OnInitDialog();
  font_ = win::MessageFont();
  const gfx::Rect client = GetClientRect();
  const gfx::Rect rect{client.left + 6, client.bottom - 30, client.left + 126, client.bottom - 6};
  extra_button_.CreateControl(this, rect, kExtraButtonId, platform::LoadString(kExtraButtonText),
                              win::kWsChild | win::kWsVisible | win::kWsTabStop);
  extra_button_.SetFont(font_, true);
  state = 1;
  return result;
}

void TPropertySheet::OnExtraButton() { win::CurrentPrompt().MessageBox("XX", win::Windows().AppTitle(), win::kMbOk); }
