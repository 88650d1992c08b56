#pragma once

// The C interface of the external analysis library ("libVRA.so"), as the system calls it: ten
// entry points looked up by name, each returning 0 for success or one of the result codes below.
// A library standing in for it must export these names with these signatures and must not let
// an exception leave them.

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* VraHandle;

// Result codes the system names in its messages.
enum {
  VRA_OK = 0,
  VRA_ERR_NULL_POINTER = 1,
  VRA_ERR_INIT_PHASE = 2,
  VRA_ERR_TYPE_UNDEFINED = 3,
  VRA_ERR_FAIL = 4,
  VRA_ERR_WRONG_DATA = 5,
  VRA_ERR_NOT_IMPLEMENTED = 6
};

// Setting keys of SetAnaData.
enum {
  VRA_ANASET_SAMPRATE = 0,
  VRA_ANASET_DATA_BLOCK = 1,
  VRA_ANASET_PAUSE = 2,
  VRA_ANASET_CORR_VES = 3,
  VRA_ANASET_TEMP_CORR = 4,
  VRA_ANASET_ABSARRHYT_DUR = 5,
  VRA_ANASET_ABSARRHYT_DEV = 6,
  VRA_ANASET_SVES_PREMATURE = 7,
  VRA_ANASET_PACE_PATIENT = 8,
  VRA_ANASET_NOF_LEADS = 9,
  VRA_ANASET_ANALYSE_LEADS = 10,
  VRA_ANASET_RESOLUTION = 13
};

// The mode of Analyse: continuous analysis, one block after the other.
enum { VRA_ANASET_CONTI_ANA = 12 };

// One beat record of GetAnaDataBeatP: 10 bytes, little-endian, packed in this order: int32 time in
// milliseconds from the recording start (bytes 0..3), uint16 beat type (4..5: 0 normal,
// 2 ventricular, 3 supraventricular, 4 artefact, 5 other; anything else is ignored), uint16
// template number (6..7, 0..999 within the type's family), two bytes that are not read (8..9).
enum { VRA_BEAT_RECORD_SIZE = 10 };

typedef int (*VraOpenInterfaceFn)(VraHandle* handle, int sample_rate, int block_ms);
typedef int (*VraCloseInterfaceFn)(VraHandle* handle);
typedef int (*VraSetAnaDataFn)(VraHandle handle, int value, int key);
typedef int (*VraInitInterfaceFn)(VraHandle handle);
typedef int (*VraAnalyseFn)(VraHandle handle, int mode);
typedef int (*VraResetAnalyseFn)(VraHandle handle);
// One minute of one lead: 7500 samples at 125 per second, 5 microvolts a unit; lead 1 or 2.
typedef int (*VraSetLeadDataFn)(VraHandle handle, const int16_t* samples, int lead);
// The beats found since the last call; the records stay valid until the next call.
typedef int (*VraGetAnaDataBeatPFn)(VraHandle handle, const uint8_t** records, uint16_t* count);
typedef int (*VraGetTemplatesPFn)(VraHandle handle, const void** templates, int* count);
typedef int (*VraGetVRAVersionFn)(int reserved, uint32_t* version);

#ifdef __cplusplus
}
#endif
