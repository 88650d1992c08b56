#pragma once

// The system's own PDF writer: everything a caller uses.
#include "reports/pdf/content_operators.h"
#include "reports/pdf/memory_stream.h"
#include "reports/pdf/pdf_document.h"
#include "reports/pdf/pdf_fonts.h"
#include "reports/pdf/pdf_images.h"
#include "reports/pdf/pdf_outlines.h"
#include "reports/pdf/pdf_utils.h"
#include "reports/pdf/plot_axis.h"
#include "reports/pdf/plot_domain.h"
