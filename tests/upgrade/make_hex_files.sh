#!/usr/bin/env bash
# Builds the firmware files the reader is checked against, with tools that
# know nothing of this program:
#   avr.hex   avr-gcc/avr-objcopy: an ATmega1284P program with 90 000 bytes
#             of tables, so that its code reaches above 64 KiB (type 02
#             records, 16 data bytes each)
#   avr_eeprom.hex  avr-objcopy of a whole ELF with .eeprom and .fuse
#             sections: their records lie at 0x810000 and 0x820000 (type 04)
#   srec.hex  srec_cat: two blocks of random bytes, one crossing 64 KiB and
#             one near the top of flash, 32-byte records, type 04 addresses
# Usage: make_hex_files.sh FOLDER. Exit 77 when a tool is missing.
set -euo pipefail
out=$1
for tool in avr-gcc avr-objcopy srec_cat /usr/bin/python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "missing $tool" >&2; exit 77; }
done
mkdir -p "$out"
cd "$out"

/usr/bin/python3 - <<'PY'
import random
random.seed(52)
tables = []
for k in range(3):
    values = ",".join(str(random.randrange(256)) for _ in range(30000))
    tables.append("const unsigned char table%d[30000] __attribute__((used)) PROGMEM = {%s};" % (k, values))
with open("avr.c", "w") as f:
    f.write("#include <avr/pgmspace.h>\n" + "\n".join(tables) + """
volatile unsigned char sink;
int main(void) {
    sink = pgm_read_byte(&table0[7]);
    sink = pgm_read_byte_far(pgm_get_far_address(table2) + 29999);
    return 0;
}
""")
with open("low.bin", "wb") as f:
    f.write(bytes(random.randrange(256) for _ in range(0x1400)))
with open("high.bin", "wb") as f:
    f.write(bytes(random.randrange(256) for _ in range(0xC00)))
PY
avr-gcc -Os -mmcu=atmega1284p avr.c -o avr.elf
avr-objcopy -O ihex -R .eeprom avr.elf avr.hex
cat > eeprom.c <<'C'
#include <avr/eeprom.h>
#include <avr/fuse.h>
FUSES = {.low = 0xF7, .high = 0xD1, .extended = 0xFC};
unsigned char calibration[64] EEMEM = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
volatile unsigned char sink;
int main(void) {
    sink = eeprom_read_byte(&calibration[3]);
    return 0;
}
C
avr-gcc -Os -mmcu=atmega1284p eeprom.c -o eeprom.elf
avr-objcopy -O ihex eeprom.elf avr_eeprom.hex
srec_cat low.bin -binary -offset 0xF310 high.bin -binary -offset 0x1D800 \
  -o srec.hex -intel -output_block_size=32
