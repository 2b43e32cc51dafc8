// SPDX-License-Identifier: GPL-3.0-or-later
// The C entry points of the diphone synthesiser library (libmbrola.so).
// Lines of "phoneme duration [percent pitch]..." go in; 16-bit mono samples
// at 16,000 per second come out. Every function may be bound by name with
// dlsym; the typedefs below are the shapes to cast to.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Sample formats for readtype_MBR.
enum {
    MBR_LIN16 = 0, // signed 16-bit samples, native byte order
    MBR_LIN8 = 1,  // unsigned 8-bit samples, 128 is silence
};

// Error codes returned by lastError_MBR (0 is no error).
enum {
    MBR_ERROR_NONE = 0,
    MBR_ERROR_DATABASE = 1,        // missing, unreadable or damaged database
    MBR_ERROR_NOT_INITIALISED = 2, // a call that needs init_MBR first
    MBR_ERROR_SYNTAX = 3,          // an input line that does not parse
    MBR_ERROR_UNKNOWN_PHONEME = 4, // a name the database does not have
    MBR_ERROR_MISSING_DIPHONE = 5, // two known names without their diphone
    MBR_ERROR_ARGUMENT = 6,        // a null pointer, bad size or unknown type
    MBR_ERROR_OVERFLOW = 7,        // too much input waiting for flush_MBR
};

// Opens the database file; negative on failure.
int init_MBR(char* database_path);
// As init_MBR, with input names renamed or cloned: each text holds pairs
// "database_name input_name" separated by spaces; either may be null.
int init_rename_MBR(char* database_path, char* rename, char* clone);
// Releases the database and everything waiting.
void close_MBR(void);
// Drops waiting input and output; the next phoneme starts an utterance.
int reset_MBR(void);
// Queues one or more input lines; negative on error.
int write_MBR(char* lines);
// Ends the input: everything queued is synthesised; negative on error.
int flush_MBR(void);
// Copies up to max waiting samples into buffer; the count, or negative.
int read_MBR(short* buffer, int max);
// As read_MBR in one of the MBR_ sample formats; max counts samples.
int readtype_MBR(void* buffer, int max, int type);

int lastError_MBR(void);
// Writes the last error's text (terminated) into buffer; its length.
int lastErrorStr_MBR(char* buffer, int size);
// Non-zero: unknown phonemes are skipped and missing diphones replaced
// instead of failing write_MBR.
void setNoError_MBR(int no_error);
int getNoError_MBR(void);
// Output sample rate (the database's 16,000 unless changed).
void setFreq_MBR(int frequency);
int getFreq_MBR(void);
// Amplitude factor applied to the output (1.0 unchanged).
void setVolumeRatio_MBR(float ratio);
float getVolumeRatio_MBR(void);
// Writes the version text into buffer; its length.
int getVersion_MBR(char* buffer, int size);
// Writes line `index` of the database's description; its length, or
// negative past the last line.
int getDatabaseInfo_MBR(char* buffer, int size, int index);
// Only the built-in line parser exists: null keeps it, anything else fails.
int setParser_MBR(void* parser);

// One phoneme as an object, for callers that build input without text.
void* init_Phone(const char* name, float duration_ms);
void reset_Phone(void* phone);
void close_Phone(void* phone);
// Adds a pitch point at percent of the phoneme's duration; negative when
// the phone is full or the point invalid.
int appendf0_Phone(void* phone, float percent, float pitch_hz);

typedef int (*init_MBR_fn)(char*);
typedef int (*init_rename_MBR_fn)(char*, char*, char*);
typedef void (*close_MBR_fn)(void);
typedef int (*reset_MBR_fn)(void);
typedef int (*write_MBR_fn)(char*);
typedef int (*flush_MBR_fn)(void);
typedef int (*read_MBR_fn)(short*, int);
typedef int (*readtype_MBR_fn)(void*, int, int);
typedef int (*lastError_MBR_fn)(void);
typedef int (*lastErrorStr_MBR_fn)(char*, int);
typedef void (*setNoError_MBR_fn)(int);
typedef int (*getNoError_MBR_fn)(void);
typedef void (*setFreq_MBR_fn)(int);
typedef int (*getFreq_MBR_fn)(void);
typedef void (*setVolumeRatio_MBR_fn)(float);
typedef float (*getVolumeRatio_MBR_fn)(void);
typedef int (*getVersion_MBR_fn)(char*, int);
typedef int (*getDatabaseInfo_MBR_fn)(char*, int, int);
typedef int (*setParser_MBR_fn)(void*);
typedef void* (*init_Phone_fn)(const char*, float);
typedef void (*reset_Phone_fn)(void*);
typedef void (*close_Phone_fn)(void*);
typedef int (*appendf0_Phone_fn)(void*, float, float);

#ifdef __cplusplus
}
#endif
