// Measures of the page's screenshots and the recording's frames, all
// { width, height, rgba } as tests/support/Png.mjs decodes them.

// The mean of the red, green and blue values of every pixel.
export function brightness(frame)
{
    let sum = 0;
    for (let i = 0; i < frame.rgba.length; i += 4)
        sum += frame.rgba[i] + frame.rgba[i + 1] + frame.rgba[i + 2];
    return sum / (frame.width * frame.height * 3);
}

// The largest red, green or blue value in the columns from `left` up to
// (not including) `right`.
export function brightestInColumns(frame, left, right)
{
    let most = 0;
    for (let y = 0; y < frame.height; ++y)
        for (let x = left; x < right; ++x)
            for (let c = 0; c < 3; ++c)
                most = Math.max(most, frame.rgba[(y * frame.width + x) * 4 + c]);
    return most;
}

// The share of a column's pixels that are not black.
export function litShareOfColumn(frame, x)
{
    let lit = 0;
    for (let y = 0; y < frame.height; ++y) {
        const at = (y * frame.width + x) * 4;
        lit += frame.rgba[at] + frame.rgba[at + 1] + frame.rgba[at + 2] > 0 ? 1 : 0;
    }
    return lit / frame.height;
}

// How two frames of one size differ: the mean absolute difference of their
// colour values, and the share of values that differ by more than `bound`.
export function difference(a, b, bound)
{
    if (a.width !== b.width || a.height !== b.height)
        throw new Error(`frames of ${a.width}x${a.height} and ${b.width}x${b.height}`);
    let sum = 0, over = 0;
    for (let i = 0; i < a.rgba.length; i += 4)
        for (let c = 0; c < 3; ++c) {
            const d = Math.abs(a.rgba[i + c] - b.rgba[i + c]);
            sum += d;
            over += d > bound ? 1 : 0;
        }
    const values = a.width * a.height * 3;
    return {mean : sum / values, overShare : over / values};
}
