// Identifiers of the resources in ZSRES.DLL, shared by its resource script and by the C++ code that
// loads them. Plain #defines only, so that windres reads this header as well as the compiler does.
#ifndef ZS_RESLIB_RESOURCE_IDS_H
#define ZS_RESLIB_RESOURCE_IDS_H

// Dialog templates.
#define IDD_WAIT 103
#define IDD_SELECT_LANGUAGE 105

// Controls of the dialog templates.
#define IDC_WAIT_TEXT 1000
#define IDC_LANGUAGE_LIST 1002
#define IDC_LANGUAGE_LABEL 1005

// Language catalogue: string 1 holds the number of entries as decimal text; the entries follow from
// string 2 on, each a language name followed by the four digits of its block base.
#define IDS_CATALOGUE_COUNT 1
#define IDS_CATALOGUE_FIRST 2

// Language blocks: block k (1 .. 17) holds the thirteen messages of one language at the string IDs
// IDS_BLOCK_BASE(k) + offset. Block 1 is English. This is the one place of that rule and of its inverse.
#define IDS_BLOCK_FIRST 1
#define IDS_BLOCK_LAST 17
#define IDS_BLOCK_BASE(k) (100 * (k) + 1)
#define IDS_MESSAGE(blockBase, offset) ((blockBase) + (offset))
#define IDS_BLOCK_OF(id) (((id)-1) / 100)
#define IDS_ENGLISH_BASE IDS_BLOCK_BASE(1)
#define IDS_MESSAGES_PER_BLOCK 13

// Offsets of the messages within a language block.
#define IDS_SETUP_WORD 0
#define IDS_PLEASE_WAIT 1
#define IDS_USAGE 2
#define IDS_FILE_NOT_FOUND 3
#define IDS_DECOMPRESS_FAILED 4
#define IDS_FREE_SPACE 5
#define IDS_LIST_CORRUPTED 6
#define IDS_START_FAILED 7
#define IDS_TEMP_DIR_FAILED 8
#define IDS_SELECT_LANGUAGE 9
#define IDS_SETUP_LANGUAGE 10
#define IDS_RESTART_QUESTION 11
#define IDS_SELECT_LOCATION 12

#endif  // ZS_RESLIB_RESOURCE_IDS_H
