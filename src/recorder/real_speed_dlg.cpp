#include "recorder/real_speed_dlg.h"

#include "win/data_exchange.h"

void TRealSpeedDlg::DoDataExchange(win::DataExchange& dx) { win::DdxRadio(dx, kAmplitudeId, amplitude); }
