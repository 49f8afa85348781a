// The document the single-document template requires; it holds no data.
#pragma once
#include "platform/Document.h"

namespace qk::app {

class CUtlDoc : public CDocument {};

} // namespace qk::app
