// The relaxed comparison of a printer's reported model name with the served model, used by
// the driver installer's start modes instead of exact equality.
#pragma once
#include <string>

namespace qk::app {

// True when `reported` names the same model as `served` (family "QK-", series letter,
// number, suffix, optional generation in Roman numerals).
bool MatchModelName(const std::u16string& reported, const std::u16string& served = u"QK-R40");

} // namespace qk::app
