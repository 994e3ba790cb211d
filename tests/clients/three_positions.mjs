// Writes where three.js puts every joint of a BVH file at some of its frames: the reference the
// joint positions test holds Skelvane's own against. Each file is loaded with three.js's
// BVHLoader; each frame's track values are set on its bones as they are, and each bone's place
// is read with getWorldPosition. Skelvane's code plays no part in it.
//
//   node three_positions.mjs OUT_DIR FILE:FRAME,FRAME... [FILE:FRAMES...]
//
// Frames count from 0; `last` names the file's last frame. For each FILE it writes
// OUT_DIR/NAME.positions (NAME: the file's name without .bvh):
//
//   # comment lines
//   height H           the rest pose's (offsets alone, every channel 0) largest extent along an
//                      axis: its height when it stands upright, whichever axis is up
//   frame F            then one line per joint, End Sites too, in file order: X Y Z
//
// THREE_DIR names the three.js tree (Debian's libjs-three by default). The committed outputs in
// tests/data/positions were made with libjs-three r111 and node 20:
//
//   node tests/clients/three_positions.mjs tests/data/positions \
//     tests/data/linden_avatar_walk_crlf.bvh:0,7,last \
//     tests/data/other-rigs/mixamo_prefixed_freebvh.bvh:0,34,last \
//     tests/data/other-rigs/cmu_humanik_names_jumping.bvh:0,720,last \
//     tests/data/positions/every_channel.bvh:0,1,2
import { readFileSync, writeFileSync } from 'node:fs';
import { basename, join } from 'node:path';
import { pathToFileURL } from 'node:url';

const threeDir = process.env.THREE_DIR ?? '/usr/share/javascript/three';
const { BVHLoader } = await import(
  pathToFileURL(`${threeDir}/examples/jsm/loaders/BVHLoader.js`).href);
const { Vector3 } = await import(pathToFileURL(`${threeDir}/build/three.module.js`).href);

// The loader makes a position track and then a quaternion track for each bone but End Sites, in
// the bones' order; tracks are paired with bones by that order, since names may repeat.
function tracksByBone(skeleton, clip) {
  const moving = skeleton.bones.filter((bone) => bone.name !== 'ENDSITE');
  if (clip.tracks.length !== 2 * moving.length) throw new Error('unexpected tracks');
  return moving.map((bone, i) => ({
    bone,
    position: clip.tracks[2 * i],
    quaternion: clip.tracks[2 * i + 1],
  }));
}

function worldPositions(skeleton) {
  skeleton.bones[0].updateMatrixWorld(true);
  return skeleton.bones.map((bone) => bone.getWorldPosition(new Vector3()));
}

const number = (value) => Number(value.toPrecision(9)).toString();

const [outDir, ...requests] = process.argv.slice(2);
for (const request of requests) {
  const split = request.lastIndexOf(':');
  const file = request.slice(0, split);
  const { skeleton, clip } = new BVHLoader().parse(readFileSync(file, 'latin1'));
  const tracks = tracksByBone(skeleton, clip);
  const frameCount = tracks[0].position.times.length;
  const frames = request.slice(split + 1).split(',')
    .map((frame) => (frame === 'last' ? frameCount - 1 : Number(frame)));

  const rest = worldPositions(skeleton);
  const extent = (axis) => Math.max(...rest.map((p) => p[axis])) - Math.min(...rest.map((p) => p[axis]));
  const out = [
    `# ${basename(file)}: world positions of its ${skeleton.bones.length} joints (End Sites too,`,
    '# in file order) by three.js\'s BVHLoader and getWorldPosition; made by',
    '# tests/clients/three_positions.mjs, never by Skelvane.',
    `height ${number(Math.max(extent('x'), extent('y'), extent('z')))}`,
  ];
  for (const frame of frames) {
    if (!(frame >= 0 && frame < frameCount)) throw new Error(`${file} has no frame ${frame}`);
    for (const { bone, position, quaternion } of tracks) {
      bone.position.fromArray(position.values, 3 * frame);
      bone.quaternion.fromArray(quaternion.values, 4 * frame);
    }
    out.push(`frame ${frame}`);
    for (const place of worldPositions(skeleton)) {
      out.push(`${number(place.x)} ${number(place.y)} ${number(place.z)}`);
    }
  }
  const target = join(outDir, `${basename(file, '.bvh')}.positions`);
  writeFileSync(target, `${out.join('\n')}\n`);
  console.log(`${target}: ${skeleton.bones.length} joints, frames ${frames.join(', ')}`);
}
