#pragma once

#include <string_view>

namespace zarn::forms {

// The window pointer kinds the About window switches between.
enum class MousePointer { Default = 0, Custom = 99 };

// What the About controller needs of its window.
class AboutView {
 public:
  virtual ~AboutView() = default;
  virtual void SetCaption(std::string_view caption) = 0;
  virtual void SetVersionCaption(std::string_view caption) = 0;  // lblVersion
  virtual void SetTitleCaption(std::string_view caption) = 0;    // lblTitle
  virtual void SetMousePointer(MousePointer pointer) = 0;
  virtual void Unload() = 0;  // closes the window; the modal show returns

 protected:
  AboutView() = default;
  AboutView(const AboutView&) = default;
  AboutView& operator=(const AboutView&) = default;
};

}  // namespace zarn::forms
