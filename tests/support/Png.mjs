// PNG files as RGBA pixels, top row first: the browser's screenshots and the
// frames of `qorx-demo --record`. Only what those two write: 8 bits per
// channel, RGB or RGBA, not interlaced.
import zlib from "node:zlib";

const Signature = Buffer.from([ 0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a ]);
const ChannelsOfColourType = {
    2 : 3,
    6 : 4
};

function chunks(file)
{
    const found = [];
    for (let at = Signature.length; at + 8 <= file.length;) {
        const length = file.readUInt32BE(at);
        found.push({type : file.toString("latin1", at + 4, at + 8), data : file.subarray(at + 8, at + 8 + length)});
        at += 12 + length;
    }
    return found;
}

function paeth(left, up, upLeft)
{
    const p = left + up - upLeft;
    const toLeft = Math.abs(p - left), toUp = Math.abs(p - up), toUpLeft = Math.abs(p - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft)
        return left;
    return toUp <= toUpLeft ? up : upLeft;
}

// Undoes each row's filter in place; `rows` holds a filter byte before each row.
function unfilter(rows, height, stride, channels)
{
    const out = Buffer.alloc(height * stride);
    for (let y = 0; y < height; ++y) {
        const filter = rows[y * (stride + 1)];
        const row = rows.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let x = 0; x < stride; ++x) {
            const left = x >= channels ? out[y * stride + x - channels] : 0;
            const up = y > 0 ? out[(y - 1) * stride + x] : 0;
            const upLeft = x >= channels && y > 0 ? out[(y - 1) * stride + x - channels] : 0;
            const predictor = [ 0, left, up, (left + up) >> 1, paeth(left, up, upLeft) ][filter];
            if (predictor === undefined)
                throw new Error(`PNG row ${y} has filter ${filter}`);
            out[y * stride + x] = (row[x] + predictor) & 0xff;
        }
    }
    return out;
}

// Returns { width, height, rgba } or throws on a file of another kind.
export function decodePng(file)
{
    if (!file.subarray(0, 8).equals(Signature))
        throw new Error("not a PNG file");
    const all = chunks(file);
    const header = all.find((chunk) => chunk.type === "IHDR").data;
    const width = header.readUInt32BE(0), height = header.readUInt32BE(4);
    const channels = ChannelsOfColourType[header[9]];
    if (header[8] !== 8 || !channels || header[12] !== 0)
        throw new Error(`PNG of depth ${header[8]}, colour type ${header[9]}, interlace ${header[12]}`);
    const data = zlib.inflateSync(Buffer.concat(all.filter((chunk) => chunk.type === "IDAT").map((c) => c.data)));
    const pixels = unfilter(data, height, width * channels, channels);
    if (channels === 4)
        return {width, height, rgba : pixels};
    const rgba = Buffer.alloc(width * height * 4, 0xff);
    for (let i = 0, j = 0; i < pixels.length; i += 3, j += 4)
        pixels.copy(rgba, j, i, i + 3);
    return {width, height, rgba};
}
