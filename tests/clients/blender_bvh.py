# Loads pairs of BVH files (a source and an output converted from it) with Blender's BVH
# importer and checks that each output that loads where its source does has the same bones,
# named as its joint lines say, and the same animation curves with the same keyframes.
#
#   blender -b --factory-startup --python blender_bvh.py -- PAIRS_FILE
#
# PAIRS_FILE holds one "SOURCE<TAB>OUTPUT" per line. Prints one line per pair and exits 1 on
# any mismatch.
import builtins
import re
import sys

import bpy

JOINT = re.compile(r"^[ \t]*(?:ROOT|JOINT)[ \t]+(.*?)[ \t]*$")


def joint_names(path):
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    return [m.group(1) for m in map(JOINT.match, re.split(r"\r\n|\n|\r", text)) if m]


def open_without_universal_newlines(file, mode="r", *args, **kwargs):
    return builtins.open(file, mode.replace("U", ""), *args, **kwargs)


def load(path):
    bpy.ops.wm.read_factory_settings(use_empty=True)
    # Debian's Blender 3.4 importer opens files in mode 'rU', which its Python 3.11 no longer
    # knows, so that it loads no BVH file at all; the importer is given an open that reads the
    # mode as 'r', which is what 'rU' meant (universal newlines are Python 3's default).
    import io_anim_bvh.import_bvh

    io_anim_bvh.import_bvh.open = open_without_universal_newlines
    try:
        bpy.ops.import_anim.bvh(filepath=path)
    except Exception as error:  # the importer's own failure, as a user would meet it
        said = [line for line in str(error).splitlines() if "Error" in line]
        return {"error": said[-1].strip() if said else repr(error)}
    armature = next(o for o in bpy.context.scene.objects if o.type == "ARMATURE")
    bones = [bone.name for bone in armature.data.bones]
    curves = []
    for curve in armature.animation_data.action.fcurves:
        bone = re.match(r'pose\.bones\["(.*)"\]\.(.*)', curve.data_path)
        curves.append((bones.index(bone.group(1)), bone.group(2), curve.array_index,
                       [tuple(point.co) for point in curve.keyframe_points]))
    return {"bones": bones, "curves": curves, "joints": joint_names(path)}


def main():
    pairs = sys.argv[sys.argv.index("--") + 1]
    checked = failures = 0
    for line in open(pairs, encoding="utf-8").read().splitlines():
        source, output = line.split("\t")
        a = load(source)
        if "error" in a:
            print(f"skip {source}: the source does not load ({a['error']})")
            continue
        b = load(output)
        problems = []
        if "error" in b:
            problems.append("does not load: " + b["error"])
        else:
            if len(b["bones"]) != len(a["bones"]):
                problems.append("another number of bones")
            if sorted(b["bones"]) != sorted(b["joints"]):
                problems.append("bones not named as its joints")
            if len(b["curves"]) != len(a["curves"]):
                problems.append("another number of curves")
            for x, y in zip(a["curves"], b["curves"]):
                if x[1:3] != y[1:3] or x[0] != y[0]:
                    problems.append("curves in another order")
                elif len(x[3]) != len(y[3]):
                    problems.append("another number of frames")
                elif any(abs(p - q) > 1e-6 for u, v in zip(x[3], y[3]) for p, q in zip(u, v)):
                    problems.append("other values")
                elif a["joints"].index(a["bones"][x[0]]) != b["joints"].index(b["bones"][y[0]]):
                    problems.append("a curve bound to another joint")
        checked += 1
        if problems:
            failures += 1
            print(f"FAIL {output}: {'; '.join(dict.fromkeys(problems))}")
        else:
            frames = len(b["curves"][0][3]) if b["curves"] else 0
            print(f"ok   {output}: {len(b['bones'])} bones, {frames} frames")
    print(f"Blender BVH importer: {checked - failures} passed, {failures} failed")
    sys.stdout.flush()
    sys.exit(1 if failures else 0)


main()
