// The whole public interface of Tessel, layer by layer.
#pragma once

// foundation (namespace kelp)
#include <tessel/foundation/kl_status.h>
#include <tessel/foundation/KLArray.h>
#include <tessel/foundation/KLException.h>
#include <tessel/foundation/KLConcurrentModificationException.h>
#include <tessel/foundation/KLIllegalStateException.h>
#include <tessel/foundation/KLIndexOutOfBoundsException.h>
#include <tessel/foundation/KLMemoryException.h>
#include <tessel/foundation/KLNoSuchElementException.h>
#include <tessel/foundation/KLFileInfo.h>
#include <tessel/foundation/KLFilename.h>
#include <tessel/foundation/KLFixedSizeMemoryManager.h>
#include <tessel/foundation/KLFlags.h>
#include <tessel/foundation/KLIntegerArray.h>
#include <tessel/foundation/KLIterator.h>
#include <tessel/foundation/KLList.h>
#include <tessel/foundation/KLString.h>
#include <tessel/foundation/KLValue.h>
#include <tessel/foundation/KLVector.h>
