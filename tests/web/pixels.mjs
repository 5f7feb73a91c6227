// Pictures compared pixel by pixel in Node: the PNG files the browser's screenshots and the native
// frame tool write (8-bit RGB or RGBA, not interlaced), read with zlib alone, and a picture of
// where two of them differ.
import fs from 'node:fs';
import zlib from 'node:zlib';

const kSignature = Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]);

// Undoes one row's filter in place (PNG's five: none, sub, up, average, Paeth).
function unfilter(filter, row, above, channels) {
  for (let x = 0; x < row.length; ++x) {
    const a = x >= channels ? row[x - channels] : 0;
    const b = above ? above[x] : 0;
    const c = above && x >= channels ? above[x - channels] : 0;
    if (filter === 1) {
      row[x] += a;
    } else if (filter === 2) {
      row[x] += b;
    } else if (filter === 3) {
      row[x] += (a + b) >> 1;
    } else if (filter === 4) {
      const p = a + b - c;
      const [pa, pb, pc] = [Math.abs(p - a), Math.abs(p - b), Math.abs(p - c)];
      row[x] += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
  }
}

// { width, height, channels, data } of an 8-bit RGB or RGBA PNG, rows top first.
export function readPng(file) {
  const bytes = fs.readFileSync(file);
  if (!bytes.subarray(0, 8).equals(kSignature)) throw new Error(`${file} is not a PNG file`);
  let header = null;
  const compressed = [];
  for (let at = 8; at + 8 <= bytes.length;) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') header = data;
    if (type === 'IDAT') compressed.push(data);
    at += 12 + length;
  }
  const [depth, colour, , , interlace] = header?.subarray(8) ?? [];
  if (depth !== 8 || (colour !== 2 && colour !== 6) || interlace !== 0) {
    throw new Error(`${file} is not an 8-bit RGB or RGBA PNG without interlacing`);
  }
  const [width, height, channels] = [header.readUInt32BE(0), header.readUInt32BE(4),
    colour === 2 ? 3 : 4];
  const raw = zlib.inflateSync(Buffer.concat(compressed));
  const stride = width * channels;
  const data = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const row = data.subarray(y * stride, (y + 1) * stride);
    raw.copy(row, 0, y * (stride + 1) + 1, (y + 1) * (stride + 1));
    unfilter(raw[y * (stride + 1)], row, y > 0 ? data.subarray((y - 1) * stride, y * stride)
      : null, channels);
  }
  return { width, height, channels, data };
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function chunk(type, data) {
  const body = Buffer.concat([Buffer.from(type, 'latin1'), data]);
  let crc = 0xffffffff;
  for (const byte of body) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const sum = Buffer.alloc(4);
  sum.writeUInt32BE((crc ^ 0xffffffff) >>> 0);
  return Buffer.concat([length, body, sum]);
}

// Writes an 8-bit RGB PNG of rgb (rows top first), quickly rather than small.
export function writePng(file, width, height, rgb) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, 2, 0, 0, 0], 8);
  const raw = Buffer.alloc((width * 3 + 1) * height);
  for (let y = 0; y < height; ++y) {
    rgb.copy(raw, y * (width * 3 + 1) + 1, y * width * 3, (y + 1) * width * 3);
  }
  fs.writeFileSync(file, Buffer.concat([kSignature, chunk('IHDR', header),
    chunk('IDAT', zlib.deflateSync(raw, { level: 1 })), chunk('IEND', Buffer.alloc(0))]));
}

// Counts the pixels of two PNG files of one size that differ by more than `level` (0-255) in any
// colour channel, and the largest difference; writes a picture of where they differ to diffFile
// (red where they do, the first picture darkened elsewhere).
export function countDifferentPixels(fileA, fileB, level, diffFile) {
  const [one, two] = [readPng(fileA), readPng(fileB)];
  if (one.width !== two.width || one.height !== two.height) {
    throw new Error(`${fileA} and ${fileB} differ in size: ${one.width}x${one.height} and ${
      two.width}x${two.height}`);
  }
  const total = one.width * one.height;
  const diff = Buffer.alloc(total * 3);
  let count = 0;
  let worst = 0;
  for (let p = 0; p < total; ++p) {
    const [i, j] = [p * one.channels, p * two.channels];
    let most = 0;
    for (let c = 0; c < 3; ++c) most = Math.max(most, Math.abs(one.data[i + c] - two.data[j + c]));
    worst = Math.max(worst, most);
    if (most > level) {
      ++count;
      diff[p * 3] = 255;
    } else {
      for (let c = 0; c < 3; ++c) diff[p * 3 + c] = one.data[i + c] >> 2;
    }
  }
  writePng(diffFile, one.width, one.height, diff);
  return { count, worst, total };
}
