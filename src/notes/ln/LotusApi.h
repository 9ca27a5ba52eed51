#pragma once

// Everything of the Notes access layer, for code that reads like the API.
#include "notes/ln/LNAttachment.h"
#include "notes/ln/LNDatabase.h"
#include "notes/ln/LNDatetime.h"
#include "notes/ln/LNDocument.h"
#include "notes/ln/LNGlobals.h"
#include "notes/ln/LNItem.h"
#include "notes/ln/LNNotesSession.h"
#include "notes/ln/LNRichText.h"
#include "notes/ln/LNString.h"
#include "notes/ln/LNText.h"
#include "notes/ln/LNViewFolder.h"
