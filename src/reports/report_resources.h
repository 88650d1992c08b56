#pragma once

namespace platform {
class ResourcePack;
}

// Texts of the envelope printing.
inline constexpr int kIdsNoPrinterSelected = 29700;
inline constexpr int kIdsInsuranceEnvelope = 29701;
inline constexpr int kIdsPatientEnvelope = 29702;
inline constexpr int kIdsReferToEnvelope = 29703;
inline constexpr int kIdsReferredByEnvelope = 29704;

// Adds the texts and dialog templates of the reports to a pack: German to the German pack,
// English to every other one.
void AddReportResources(platform::ResourcePack& pack);
