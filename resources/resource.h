#pragma once

// Resource ids shared by tavro.rc and the window code.
#define IDI_PROGRAM 1
#define IDI_PROGRAM_IMAGE 30001

#define IDB_BACKGROUND 101
#define IDB_ORDER_FACE 102
#define IDB_ORDER_FACE_PRESSED 103
#define IDB_COPY_FACE 104
#define IDB_COPY_FACE_PRESSED 105
#define IDB_CLOSE_FACE 106
#define IDB_CLOSE_FACE_PRESSED 107
#define IDB_LOGO 108

// The common controls version 6, for message boxes only. Outside 1 to 16, the ids the loader
// reserves for manifests it applies by itself.
#define IDR_MESSAGE_BOX_MANIFEST 201
