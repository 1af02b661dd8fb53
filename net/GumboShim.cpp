#include "net/GumboShim.h"

#include "platform/LazyLibrary.h"

namespace rg_com_ptl_xyh {
namespace {

rg_LazyLibrary& Gumbo() {
  static rg_LazyLibrary library(kGumboLibrary, kGumboLibraryVariable);
  return library;
}

// The library's own entry point, loading the library first; nullptr when it
// cannot be loaded or lacks the function.
template <typename F>
F Bind(const char* name) {
  return Gumbo().Load() ? reinterpret_cast<F>(Gumbo().Symbol(name)) : nullptr;
}

}  // namespace

const GumboOptions* GumboDefaultOptions() {
  static const auto* options = Bind<const GumboOptions*>("kGumboDefaultOptions");
  return options;
}

bool GumboLoaded() { return Gumbo().Loaded(); }

std::string GumboLoadError() { return Gumbo().Error(); }

}  // namespace rg_com_ptl_xyh

using rg_com_ptl_xyh::Bind;

GumboOutput* gumbo_parse_with_options(const GumboOptions* options, const char* buffer,
                                      size_t length) {
  static const auto real = Bind<decltype(&gumbo_parse_with_options)>("gumbo_parse_with_options");
  return real != nullptr ? real(options, buffer, length) : nullptr;
}

// Only what a parse gave is destroyed, and a parse needed the library.
void gumbo_destroy_output(const GumboOptions* options, GumboOutput* output) {
  if (output == nullptr || !rg_com_ptl_xyh::GumboLoaded()) return;
  static const auto real = Bind<decltype(&gumbo_destroy_output)>("gumbo_destroy_output");
  if (real != nullptr) real(options, output);
}

// The calls below are only made on the nodes of a parsed page.
GumboAttribute* gumbo_get_attribute(const GumboVector* attributes, const char* name) {
  static const auto real = Bind<decltype(&gumbo_get_attribute)>("gumbo_get_attribute");
  return real != nullptr ? real(attributes, name) : nullptr;
}

const char* gumbo_normalized_tagname(GumboTag tag) {
  static const auto real = Bind<decltype(&gumbo_normalized_tagname)>("gumbo_normalized_tagname");
  return real != nullptr ? real(tag) : "";
}

void gumbo_tag_from_original_text(GumboStringPiece* text) {
  static const auto real =
      Bind<decltype(&gumbo_tag_from_original_text)>("gumbo_tag_from_original_text");
  if (real != nullptr) real(text);
}
