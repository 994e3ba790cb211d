// Loads pairs of BVH files (a source and an output converted from it) with three.js's BVHLoader
// and checks that each output that loads where its source does has the same bones, named as its
// joint lines say, and the same tracks with the same times and values.
//
//   node three_bvh.mjs PAIRS_FILE
//
// PAIRS_FILE holds one "SOURCE<TAB>OUTPUT" per line. THREE_DIR names the three.js tree
// (Debian's libjs-three by default). Prints one line per pair and exits 1 on any mismatch.
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';

const threeDir = process.env.THREE_DIR ?? '/usr/share/javascript/three';
const { BVHLoader } = await import(
  pathToFileURL(`${threeDir}/examples/jsm/loaders/BVHLoader.js`).href);

function jointNames(text) {
  const names = [];
  for (const line of text.split(/\r\n|\n|\r/)) {
    const match = /^[ \t]*(?:ROOT|JOINT)[ \t]+(.*?)[ \t]*$/.exec(line);
    if (match) names.push(match[1]);
  }
  return names;
}

function load(file) {
  const text = readFileSync(file, 'latin1');
  try {
    const { skeleton, clip } = new BVHLoader().parse(text);
    return { skeleton, clip, joints: jointNames(text) };
  } catch (error) {
    return { error: String(error) };
  }
}

let failures = 0;
let checked = 0;
for (const line of readFileSync(process.argv[2], 'utf8').split('\n')) {
  if (!line) continue;
  const [source, output] = line.split('\t');
  const a = load(source);
  if (a.error) {
    console.log(`skip ${source}: the source does not load (${a.error})`);
    continue;
  }
  const b = load(output);
  const problems = [];
  if (b.error) {
    problems.push(`does not load: ${b.error}`);
  } else {
    // End sites are bones too, all named ENDSITE.
    const names = b.skeleton.bones.map((bone) => bone.name).filter((name) => name !== 'ENDSITE');
    if (b.skeleton.bones.length !== a.skeleton.bones.length) problems.push('another number of bones');
    if (JSON.stringify(names) !== JSON.stringify(b.joints)) problems.push('bones not named as its joints');
    if (new Set(names).size !== names.length) problems.push('two bones of one name');
    if (b.clip.tracks.length !== a.clip.tracks.length) problems.push('another number of tracks');
    a.clip.tracks.forEach((track, i) => {
      const other = b.clip.tracks[i];
      if (!other) return;
      if (other.times.length !== track.times.length) problems.push(`track ${i}: another number of frames`);
      if (other.values.length !== track.values.length ||
          other.values.some((value, j) => value !== track.values[j])) {
        problems.push(`track ${i}: other values`);
      }
      const bone = b.skeleton.bones.findIndex((x) => other.name.startsWith(`.bones[${x.name}].`));
      if (bone !== a.skeleton.bones.findIndex((x) => track.name.startsWith(`.bones[${x.name}].`))) {
        problems.push(`track ${i}: bound to another bone`);
      }
    });
  }
  ++checked;
  if (problems.length) {
    ++failures;
    console.log(`FAIL ${output}: ${[...new Set(problems)].join('; ')}`);
  } else {
    console.log(`ok   ${output}: ${b.joints.length} joints, ${b.clip.tracks[0]?.times.length ?? 0} frames`);
  }
}
console.log(`three.js BVHLoader: ${checked - failures} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);
