#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/view_services.h"

class CZK470Doc;

// The view's GDT link on the exchange files of the document's settings, with the diagnosis
// wrapped by the findings dialog. Installed into ViewServices::gdt_link at start-up.
std::unique_ptr<GdtLink> MakeGdtLink(CZK470Doc& doc);

// The display lines of the diagnosis as the findings dialog's field shows them, the same that the
// printed summary report uses; nullopt when that dialog cannot be made.
std::optional<std::vector<std::string>> FindingsDiagnosisLines(CZK470Doc& doc);
