#include "reports/print_composer.h"

#include <utility>

#include "platform/process_context.h"

namespace {

PrintComposerFactory& ComposerFactory() {
  static PrintComposerFactory factory;
  return factory;
}

PrintOptionPagesFactory& OptionPagesFactory() {
  static PrintOptionPagesFactory factory;
  return factory;
}

const bool kRegistered = platform::RegisterProcessReset(platform::ProcessLayer::kReports, [] {
  ComposerFactory() = nullptr;
  OptionPagesFactory() = nullptr;
});

}  // namespace

void InstallPrintComposerFactory(PrintComposerFactory factory) {
  (void)kRegistered;
  ComposerFactory() = std::move(factory);
}

const PrintComposerFactory& GetPrintComposerFactory() {
  (void)kRegistered;
  return ComposerFactory();
}

void InstallPrintOptionPagesFactory(PrintOptionPagesFactory factory) {
  (void)kRegistered;
  OptionPagesFactory() = std::move(factory);
}

const PrintOptionPagesFactory& GetPrintOptionPagesFactory() {
  (void)kRegistered;
  return OptionPagesFactory();
}
