// Finishes a built page for hosting: names the build after its files, writes its service worker
// (web/sw.js with the build's name and files), and leaves compressed copies (.br, .gz) beside
// every file that compresses, for a host to send to browsers that take them.
// node web/finish_page.mjs PAGE_FOLDER
import { createHash } from 'node:crypto';
import { existsSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { extname, join, relative } from 'node:path';
import { brotliCompressSync, constants, gzipSync } from 'node:zlib';

const page = process.argv[2];
const here = new URL('.', import.meta.url);

// Pictures are compressed already.
const kCompressed = ['.png'];
// The compressed copies, by their suffixes.
const kCompressors = {
  '.br': (bytes) => brotliCompressSync(bytes, {
    params: { [constants.BROTLI_PARAM_QUALITY]: 11, [constants.BROTLI_PARAM_SIZE_HINT]: bytes.length },
  }),
  '.gz': (bytes) => gzipSync(bytes, { level: 9 }),
};

// Written only when it changed, so that a rebuild of the same page keeps its validators.
function writeIfChanged(path, text) {
  if (!existsSync(path) || readFileSync(path, 'utf8') !== text) writeFileSync(path, text);
}

function filesUnder(folder) {
  return readdirSync(folder, { withFileTypes: true }).flatMap((entry) => {
    const path = join(folder, entry.name);
    return entry.isDirectory() ? filesUnder(path) : [relative(page, path)];
  });
}

const files = filesUnder(page)
  .filter((file) => file !== 'sw.js' && !(extname(file) in kCompressors))
  .sort();

// The page learns the sizes of the files it loads, for its loading bar.
const kSized = /^(index\.(js|wasm|data)|art\/.*\.png|sounds\/.*)$/;
const sizes = Object.fromEntries(files.filter((file) => kSized.test(file))
  .map((file) => [file, statSync(join(page, file)).size]));
writeIfChanged(join(page, 'index.html'), readFileSync(join(page, 'index.html'), 'utf8')
  .replace(/\/\*sizes\*\/.*?\/\*sizes\*\//s, `/*sizes*/${JSON.stringify(sizes)}/*sizes*/`));

// The build's name: what its files and its worker hold, so that a new build is a new name and
// the same files the same one.
const template = readFileSync(new URL('sw.js', here), 'utf8');
const hash = createHash('sha256').update(template);
for (const file of files) hash.update(`${file}\0`).update(readFileSync(join(page, file))).update('\0');
const build = hash.digest('hex').slice(0, 16);

// Every start needs the page, its program and data, its manifest and icons, and the art's list;
// the art itself is kept by density.
const everyStart = files.filter((file) => !file.startsWith('art/') || file === 'art/index.json');
const worker = template
  .replace('@BUILD@', build)
  .replace('@FILES@', JSON.stringify(everyStart, null, 2));
writeIfChanged(join(page, 'sw.js'), worker);

// A copy is made again only when its file is newer, or dropped when it does not make the file
// smaller.
const older = (copy, file) => !existsSync(copy) || statSync(copy).mtimeMs < statSync(file).mtimeMs;
for (const file of [...files, 'sw.js']) {
  if (kCompressed.includes(extname(file))) continue;
  const path = join(page, file);
  let bytes;
  for (const [suffix, compress] of Object.entries(kCompressors)) {
    if (!older(path + suffix, path)) continue;
    bytes ??= readFileSync(path);
    const copy = compress(bytes);
    if (copy.length < bytes.length) {
      writeFileSync(path + suffix, copy);
    } else {
      rmSync(path + suffix, { force: true });
    }
  }
}
console.log(`page build ${build}: ${files.length + 1} files, ${everyStart.length} kept for every start`);
