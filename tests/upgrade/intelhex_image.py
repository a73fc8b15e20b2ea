# The flash image python3-intelhex makes of a HEX file: 131072 bytes, 0xFF
# where no data is, written to OUT; prints the highest data address (-1 when
# there is none). With LIMIT only the data below that address is taken.
# Usage: /usr/bin/python3 intelhex_image.py IN.hex OUT.bin [LIMIT]
import sys

from intelhex import IntelHex

SIZE = 131072

hexfile = IntelHex(sys.argv[1])
image = bytearray(b"\xff" * SIZE)
addresses = hexfile.addresses()
if len(sys.argv) > 3:
    addresses = [a for a in addresses if a < int(sys.argv[3], 0)]
for address in addresses:
    if address >= SIZE:
        sys.exit("data at 0x%X lies outside the flash" % address)
    image[address] = hexfile[address]
with open(sys.argv[2], "wb") as out:
    out.write(image)
print(max(addresses) if addresses else -1)
