#include "payload/payload_table.h"

const payload_entry payload_table[payload_count] = {
    {101, "qor.ua.matrix2.ctrl.exe"},
    {102, "qor.ua.matrix2.dev.exe"},
    {103, "qor.ua.matrix2.exe"},
};
