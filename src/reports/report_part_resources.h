#pragma once

namespace platform {
class ResourcePack;
}

// Texts of the page frame and the heart-rate and events page. Labels stand left of a ":".
inline constexpr int kIdsLabelName = 20001;
inline constexpr int kIdsLabelPatientNumber = 20002;
inline constexpr int kIdsLabelSex = 20003;
inline constexpr int kIdsLabelBirthDate = 20004;
inline constexpr int kIdsLabelAge = 20005;
inline constexpr int kIdsLabelPacemaker = 20006;
inline constexpr int kIdsLabelWeight = 20007;
inline constexpr int kIdsLabelHeight = 20008;
inline constexpr int kIdsLabelStation = 21112;
inline constexpr int kIdsLabelEngine = 21113;
inline constexpr int kIdsLabelProgram = 21114;
// Sex codes 0, 1, 2 and pacemaker flags 0, 1 index on from these.
inline constexpr int kIdsSexNone = 21065;
inline constexpr int kIdsPacemakerNo = 14374;
inline constexpr int kIdsYears = 14388;
// Units of weight and height; the document's strings hold all but the imperial height.
inline constexpr int kIdsHeightCm = 14383;
inline constexpr int kIdsWeightKg = 14384;
inline constexpr int kIdsHeightIn = 14386;
inline constexpr int kIdsWeightLb = 14387;
inline constexpr int kIdsHREventsTitle = 21074;
inline constexpr int kIdsCountColumn = 21085;
// Shared with the screens, which bring their texts.
inline constexpr int kIdsSVESName = 4109;
inline constexpr int kIdsSVBigeminyName = 4140;
inline constexpr int kIdsHRScaleTitle = 14376;
inline constexpr int kIdsHRScaleTrend = 14377;
inline constexpr int kIdsHRLegendMin = 14378;
inline constexpr int kIdsHRLegendMean = 14379;
inline constexpr int kIdsHRLegendMax = 14380;
inline constexpr int kIdsTimeCaption = 14382;
inline constexpr int kIdsRateUnit = 14389;

// Adds the texts of the report parts: German to the German pack, English to every other one.
void AddReportPartResources(platform::ResourcePack& pack);
