// The library's application object; the entry points are the framework's.
#include "plugins/paper/QKUPaperApp.h"

namespace {
qk::paper::CQKUPaperApp theApp;
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
