// The library's application object; the entry points are the framework's.
#include "plugins/journal/QKUEJApp.h"

namespace {
qk::journal::CQKUEJApp theApp;
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
