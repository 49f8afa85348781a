// The library's application object; the entry points are the framework's.
#include "plugins/printerinfo/QKUPrnInfoApp.h"

namespace {
qk::printerinfo::CQKUPrnInfoApp theApp;
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
