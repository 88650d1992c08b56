#pragma once

#include <filesystem>
#include <string_view>

class QImage;
class QWidget;

namespace qthost::testing_support {

// Screenshots for a reviewer to look at: written as PNG files to <build folder>/screenshots/
// (ZK_BINARY_DIR), named <name>.png, replacing an older one. Returns the path; records a test
// failure when the file cannot be written.
std::filesystem::path ScreenshotDir();
std::filesystem::path SaveScreenshot(const QImage& image, std::string_view name);
// What the widget shows now, children included (the widget is polished and laid out first).
std::filesystem::path SaveScreenshot(QWidget& widget, std::string_view name);

}  // namespace qthost::testing_support
