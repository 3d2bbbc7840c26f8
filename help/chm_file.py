"""Reads a compiled help file (ITSF) back: its directory and the content of each stored file,
also of those that chmcmd compressed with LZX.

    chm = ChmFile(data)
    chm.names()              the stored names ("/index.html", "#SYSTEM" is "/#SYSTEM")
    chm.read("/#STRINGS")    the bytes of one stored file

The build uses it to check the finished file as a help viewer reads it, and to rewrite the few
internal files that chmcmd gets wrong.
"""
import struct


def decint(data, i):
    """The variable-length number at data[i] (7 bits a byte, high bit: more follow) and the
    position after it."""
    value = 0
    while True:
        byte = data[i]
        i += 1
        value = (value << 7) | (byte & 0x7f)
        if byte < 0x80:
            return value, i


def encint(value):
    out = [value & 0x7f]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7f))
        value >>= 7
    return bytes(reversed(out))


class ChmError(Exception):
    pass


class ChmFile:
    def __init__(self, data):
        self.data = bytes(data)
        self.content, = struct.unpack_from('<Q', self.data, 0x58)
        directory, = struct.unpack_from('<Q', self.data, 0x48)
        header_length, chunk_size = struct.unpack_from('<I4xI', self.data, directory + 8)
        chunks, = struct.unpack_from('<I', self.data, directory + 0x2c)
        depth, = struct.unpack_from('<I', self.data, directory + 0x18)
        if chunks != 1 or depth != 1:
            raise ChmError('the directory has grown beyond one chunk')
        self.chunk = directory + header_length
        self.chunk_size = chunk_size
        free, = struct.unpack_from('<I', self.data, self.chunk + 4)
        self.entries = {}
        i = self.chunk + 0x14
        while i < self.chunk + chunk_size - free:
            length, i = decint(self.data, i)
            name = self.data[i:i + length].decode('cp932')
            i += length
            fields = []
            for _ in range(3):
                value, i = decint(self.data, i)
                fields.append(value)
            self.entries[name] = tuple(fields)
        self._section1 = None

    def names(self):
        return list(self.entries)

    def read(self, name):
        if name not in self.entries:
            raise ChmError('%s is not in the file' % name)
        section, offset, length = self.entries[name]
        if section == 0:
            start = self.content + offset
            return self.data[start:start + length]
        return self.section1()[offset:offset + length]

    def section1(self):
        """The whole compressed section, decompressed once."""
        if self._section1 is None:
            prefix = '::DataSpace/Storage/MSCompressed/'
            control = self.read(prefix + 'ControlData')
            _, signature, version, reset, window = struct.unpack_from('<I4sIII', control)
            if signature != b'LZXC':
                raise ChmError('the compressed section is not LZX')
            if version == 2:  # counted in frames of 32 KB rather than bytes
                reset *= 0x8000
                window *= 0x8000
            table = self.read(prefix + 'Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/'
                              'InstanceData/ResetTable')
            count, table_offset, size, frame = _reset_header(table)
            frames = [struct.unpack_from('<Q', table, table_offset + 8 * k)[0] for k in range(count)]
            packed = self.read(prefix + 'Content')
            self._section1 = lzx_decompress(packed, size, window, reset // frame, frames)
        return self._section1


def _reset_header(table):
    # version, frames, entry size, offset of the entries, uncompressed and compressed size,
    # frame size; then the compressed offset of each frame.
    count, entry_size, table_offset, size, _, frame = struct.unpack_from('<4xIIIQQQ', table)
    if entry_size != 8:
        raise ChmError('unexpected reset table')
    return count, table_offset, size, frame


# --- LZX ------------------------------------------------------------------------------------
# The decoder follows the format as Microsoft's cabinet and help compilers write it: 16-bit
# little-endian words read from the most significant bit, blocks of verbatim, aligned-offset
# or stored data, Huffman trees sent as deltas of the previous ones, three repeated offsets.
# The state is reset at every reset interval, where the reset table says the input resumes.

_EXTRA_BITS = []
_POSITION_BASE = []
_bits = 0
for _slot in range(51):
    _EXTRA_BITS.append(_bits)
    if _slot % 2 and _slot != 1 and _bits < 17:
        _bits += 1
_base = 0
for _slot in range(51):
    _POSITION_BASE.append(_base)
    _base += 1 << _EXTRA_BITS[_slot]
_POSITION_SLOTS = {15: 30, 16: 32, 17: 34, 18: 36, 19: 38, 20: 42, 21: 50}


class _Bits:
    def __init__(self, data, position):
        self.data = data
        self.position = position
        self.buffer = 0
        self.count = 0

    def ensure(self, n):
        while self.count < n:
            if self.position + 1 < len(self.data):
                word = self.data[self.position] | (self.data[self.position + 1] << 8)
            else:
                word = 0
            self.position += 2
            self.buffer = (self.buffer << 16) | word
            self.count += 16

    def peek(self, n):
        self.ensure(n)
        return (self.buffer >> (self.count - n)) & ((1 << n) - 1)

    def take(self, n):
        if n == 0:
            return 0
        value = self.peek(n)
        self.count -= n
        self.buffer &= (1 << self.count) - 1
        return value

    def align(self):
        """To the next 16-bit word, as after each 32 KB frame."""
        self.count -= self.count % 16
        self.buffer &= (1 << self.count) - 1


class _Tree:
    def __init__(self, lengths):
        self.codes = {}
        self.longest = max(lengths) if lengths else 0
        code = 0
        for length in range(1, self.longest + 1):
            for symbol, bits in enumerate(lengths):
                if bits == length:
                    self.codes[(length, code)] = symbol
                    code += 1
            code <<= 1

    def symbol(self, bits):
        for length in range(1, self.longest + 1):
            found = self.codes.get((length, bits.peek(length)))
            if found is not None:
                bits.take(length)
                return found
        raise ChmError('LZX: no symbol for the next bits')


def _read_lengths(bits, lengths, first, last):
    pretree = _Tree([bits.take(4) for _ in range(20)])
    x = first
    while x < last:
        z = pretree.symbol(bits)
        if z == 17:
            run = bits.take(4) + 4
            lengths[x:x + run] = [0] * run
            x += run
        elif z == 18:
            run = bits.take(5) + 20
            lengths[x:x + run] = [0] * run
            x += run
        elif z == 19:
            run = bits.take(1) + 4
            z = (lengths[x] - pretree.symbol(bits)) % 17
            lengths[x:x + run] = [z] * run
            x += run
        else:
            lengths[x] = (lengths[x] - z) % 17
            x += 1


def lzx_decompress(packed, size, window, reset_frames, frames):
    window_bits = window.bit_length() - 1
    slots = _POSITION_SLOTS[window_bits]
    out = bytearray()
    frame_size = 0x8000
    frame = 0
    bits = None
    while len(out) < size:
        if frame % reset_frames == 0:
            bits = _Bits(packed, frames[frame])
            main_lengths = [0] * (256 + 8 * slots)
            length_lengths = [0] * 249
            r = [1, 1, 1]
            remaining = 0
            block_type = 0
            if bits.take(1):
                raise ChmError('LZX: call translation is not supported')
        end = min((frame + 1) * frame_size, size)
        while len(out) < end:
            if remaining == 0:
                if block_type == 3 and block_length % 2:
                    bits.position += 1
                block_type = bits.take(3)
                block_length = remaining = (bits.take(16) << 8) | bits.take(8)
                if block_type == 2:
                    aligned = _Tree([bits.take(3) for _ in range(8)])
                if block_type in (1, 2):
                    _read_lengths(bits, main_lengths, 0, 256)
                    _read_lengths(bits, main_lengths, 256, len(main_lengths))
                    main = _Tree(main_lengths)
                    _read_lengths(bits, length_lengths, 0, 249)
                    lengths = _Tree(length_lengths)
                elif block_type == 3:
                    bits.ensure(16)
                    if bits.count > 16:
                        bits.position -= 2
                    bits.count = bits.buffer = 0
                    r = list(struct.unpack_from('<III', packed, bits.position))
                    bits.position += 12
                else:
                    raise ChmError('LZX: unknown block type %d' % block_type)
            step = min(remaining, end - len(out))
            if block_type == 3:
                out += packed[bits.position:bits.position + step]
                bits.position += step
                remaining -= step
                continue
            stop = len(out) + step
            while len(out) < stop:
                element = main.symbol(bits)
                if element < 256:
                    out.append(element)
                    continue
                element -= 256
                length = element & 7
                if length == 7:
                    length += lengths.symbol(bits)
                length += 2
                slot = element >> 3
                if slot > 2:
                    extra = _EXTRA_BITS[slot]
                    offset = _POSITION_BASE[slot] - 2
                    if block_type == 2 and extra >= 3:
                        offset += (bits.take(extra - 3) << 3) + aligned.symbol(bits)
                    else:
                        offset += bits.take(extra)
                    r = [offset, r[0], r[1]]
                elif slot == 1:
                    r = [r[1], r[0], r[2]]
                elif slot == 2:
                    r = [r[2], r[1], r[0]]
                offset = r[0]
                for _ in range(length):
                    out.append(out[-offset])
            remaining -= len(out) - (stop - step)
        frame += 1
        bits.align()
    return bytes(out[:size])
