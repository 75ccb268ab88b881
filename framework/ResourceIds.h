// String-table ids that the framework itself loads; the program's resource script defines the
// texts. (Plain #defines: the resource compiler reads this file too.)
#pragma once

// A handler failed with an exception; the failure's own text follows it in the message.
#define IDS_UNEXPECTED_FAILURE  0xEF00
