#pragma once

class CZK470Doc;

// The part of a new recording after the document was reset: the device search, the patient data
// sheet, the preparation prompt for the recorder (and the recording length of a ZK-131 that takes
// 72 hours), then the programming screen (display mode 5). Under an automation command of the
// new-recording words the command's parameters give the patient and a failure ends the run with
// exit code 10. Returns 0 when no recorder was found on the interactive path, else 1.
// User-interface thread only.
int RunNewRecordingProcedure(CZK470Doc& doc);
