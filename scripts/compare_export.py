#!/usr/bin/python3
"""Compares the cell values of one exported state (`vxphost export`) with an independent reading.

    compare_export.py vtk CASE.foam STATE_FOLDER [CASE_TYPE]
        against VTK's OpenFOAM reader at the last time of the case: the internal mesh and every
        patch of every region (CASE_TYPE 1, the default), or for a decomposed case (0) the
        processors' internal meshes appended in order.
    compare_export.py foam STATE_FOLDER FOAMTOVTK_BOUNDARY_FOLDER
        against OpenFOAM's own reading as `foamToVTK` writes it: every patch.

One line per array that differs (more than 1e-5 of the array's scale, another tuple count, or a
value undefined on one side only), then "flagged N". Exit status 1 when something is flagged.
Symmetric tensors are compared in VTK's component order (XX YY ZZ XY YZ XZ).
Needs Debian's python3-vtk9 (run with /usr/bin/python3).
"""
import os
import re
import sys

import vtk

# Our names of the fields OpenFOAM calls U, p, rho and T.
NATIVE = {"Velocity": "U", "Pressure": "p", "Density": "rho", "Temperature": "T"}
OUR_OWN = {"ElementId", "PartId", "NodeId"}
SYMMETRIC_TO_VTK = [0, 3, 5, 1, 4, 2]  # ours: xx xy xz yy yz zz


def undefined(x):
    return x != x or abs(x) > 1e300


def compare_arrays(label, ours, theirs):
    """Prints and returns 1 when the cell arrays of two data sets differ, else 0 per array."""
    flagged = 0
    for i in range(ours.GetNumberOfArrays()):
        a = ours.GetArray(i)
        if a is None or a.GetName() in OUR_OWN:
            continue
        b = theirs.GetArray(NATIVE.get(a.GetName(), a.GetName()))
        if b is None:
            continue  # a field absent at this time on the other side
        components = min(a.GetNumberOfComponents(), b.GetNumberOfComponents())
        order = SYMMETRIC_TO_VTK if components == 6 else list(range(components))
        worst = scale = 0.0
        one_sided = 0
        for t in range(min(a.GetNumberOfTuples(), b.GetNumberOfTuples())):
            for c in range(components):
                x, y = a.GetComponent(t, order[c]), b.GetComponent(t, c)
                if undefined(x) != undefined(y):
                    one_sided += 1
                elif not undefined(x):
                    worst = max(worst, abs(x - y))
                    scale = max(scale, abs(y))
        if a.GetNumberOfTuples() != b.GetNumberOfTuples() or one_sided or worst > 1e-5 * scale + 1e-30:
            flagged += 1
            print("  %-32s %-20s tuples %d/%d, max |diff| %.3g (scale %.3g), undefined on one side %d"
                  % (label, a.GetName(), a.GetNumberOfTuples(), b.GetNumberOfTuples(), worst, scale, one_sided))
    return flagged


def read_piece(path):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    return reader.GetOutput()


def pieces_of(state_folder):
    vtm = state_folder.rstrip("/") + ".vtm"
    base = os.path.dirname(vtm)
    return [(name, os.path.join(base, rel)) for name, rel in re.findall(r'name="([^"]*)" file="([^"]*)"', open(vtm).read())]


def vtk_blocks(case, case_type):
    import vtkmodules.vtkIOParallel  # noqa: F401  (the reader of decomposed cases too)
    controller = vtk.vtkDummyController()  # without one the parallel reader crashes
    vtk.vtkMultiProcessController.SetGlobalController(controller)
    reader = vtk.vtkPOpenFOAMReader()
    reader.SetController(controller)
    reader.SetFileName(case)
    reader.UpdateInformation()
    reader.SetCaseType(case_type)
    reader.UpdateInformation()
    for i in range(reader.GetNumberOfPatchArrays()):
        reader.SetPatchArrayStatus(reader.GetPatchArrayName(i), 1)
    reader.CreateCellToPointOff()
    reader.DecomposePolyhedraOff()
    reader.EnableAllCellArrays()
    times = reader.GetTimeValues()
    if times is not None and times.GetNumberOfValues():
        reader.UpdateTimeStep(times.GetValue(times.GetNumberOfValues() - 1))
    reader.Update()
    blocks = {}

    def walk(block, prefix):
        for i in range(block.GetNumberOfBlocks()):
            name = block.GetMetaData(i).Get(vtk.vtkCompositeDataSet.NAME())
            child = block.GetBlock(i)
            if child is None:
                continue
            if child.IsA("vtkMultiBlockDataSet"):
                walk(child, prefix + name + "/")
            else:
                blocks[prefix + name] = child

    walk(reader.GetOutputDataObject(0), "")
    return blocks


def appended_processors(state_folder):
    """Our processor pieces of a decomposed case, appended in order as VTK's reader appends them."""
    append = vtk.vtkAppendFilter()
    for name, path in pieces_of(state_folder):
        if re.fullmatch(r"processor\d+", name):
            append.AddInputData(read_piece(path))
    append.Update()
    return append.GetOutput()


def against_vtk(case, state_folder, case_type):
    blocks = vtk_blocks(case, case_type)
    if case_type == 0:
        # VTK's reader joins each patch over the processors; the internal meshes are compared.
        return compare_arrays("internalMesh", appended_processors(state_folder).GetCellData(),
                              blocks["internalMesh"].GetCellData())
    regions = {key.split("/")[0] for key in blocks if key.count("/") == 1 and key.endswith("/internalMesh")}
    region = ""
    flagged = 0
    for name, path in pieces_of(state_folder):
        if name == "default_region":
            region = "defaultRegion/" if regions else ""
            key = region + "internalMesh"
        elif name in regions:
            region = name + "/"
            key = region + "internalMesh"
        else:
            key = region + "boundary/" + name
        if key in blocks:
            flagged += compare_arrays(key, read_piece(path).GetCellData(), blocks[key].GetCellData())
    return flagged


def against_foam(state_folder, boundary_folder):
    ours = {os.path.splitext(os.path.basename(path))[0]: path for _, path in pieces_of(state_folder)}
    flagged = 0
    for file in sorted(os.listdir(boundary_folder)):
        patch = os.path.splitext(file)[0]
        if patch not in ours:
            continue
        reader = vtk.vtkXMLPolyDataReader()
        reader.SetFileName(os.path.join(boundary_folder, file))
        reader.Update()
        flagged += compare_arrays(patch, read_piece(ours[patch]).GetCellData(), reader.GetOutput().GetCellData())
    return flagged


def main(argv):
    vtk.vtkObject.GlobalWarningDisplayOff()
    if len(argv) >= 3 and argv[0] == "vtk":
        flagged = against_vtk(argv[1], argv[2], int(argv[3]) if len(argv) > 3 else 1)
    elif len(argv) == 3 and argv[0] == "foam":
        flagged = against_foam(argv[1], argv[2])
    else:
        print(__doc__)
        return 2
    print("flagged %d" % flagged)
    return 1 if flagged else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
