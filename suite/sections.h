// The test sections, in the order RunAllTests runs them. Each writes its lines through
// Run::Printf and calls the library through the bindings in qorbind.h.
#pragma once

#include "run.h"

namespace suite {

void SpeedLoopsAndFileRead(Run &run);    // section (1)
void MathsAndStringSearch(Run &run);     // "Maths Function Tests ", "String Function Tests "
void TrimmingAndConversion(Run &run);    // "String Trimming Tests ", "Data Conversion Tests "
void Base64EncryptionRandom(Run &run);   // Base64, weak encryption, random; timings (2) (3) (5)
void DiskSpace(Run &run);                // timing (6) and three unlabelled lines
void IpAndCidr(Run &run);                // timing (7)
void PhpDates(Run &run);                 // timing (8)
void DateConversions(Run &run);          // timing (9)
void BitsUrlReplaceRotateHex(Run &run);  // section (10)
void ArraysFilesDrives(Run &run);        // section (11)
void WindowsApi(Run &run);               // timing (12)
void RleCompression(Run &run);           // timing (13)
void ProcessInfo(Run &run);              // timing (FINAL)

}  // namespace suite
