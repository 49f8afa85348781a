// The library's application object; the entry points are the framework's.
#include "plugins/settingsfile/QKUSetFileApp.h"

namespace {
qk::settingsfile::CQKUSetFileApp theApp;
} // namespace

#include "framework/plugin/PluginExportDefinitions.inc"
