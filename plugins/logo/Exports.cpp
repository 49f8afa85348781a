// The library's application object; the entry points are the framework's.
#include "plugins/logo/QKULogoApp.h"

namespace {
qk::logo::CQKULogoApp theApp;
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
