#include "plugin/OFInitOptions.h"

const OFInitOption OF_LOAD_BOUNDARY_PARTS("LOAD_BC_PARTS", "Load Boundary Parts", true);
const OFInitOption OF_LOAD_CELL_ZONES("LOAD_CELL_ZONES", "Load Cell Zones", true);
const OFInitOption OF_LOAD_GLOBAL_MESH("LOAD_GLOBAL_MESH", "Load Global Mesh i.e from constant/polyMesh", true);
const OFInitOption OF_LOAD_LOCAL_MESHES("LOAD_LOCAL_MESHES", "Load Local Meshes i.e from constant/region*/polyMesh",
                                        true);
const OFInitOption OF_LOAD_FACE_ZONES("LOAD_FACE_ZONES", "Load Face Zones", false);
const OFInitOption OF_NODE_AVG_RESULTS("NODE_AVG_RES", "Provide node average results", true);
const OFInitOption OF_HIDE_PARALLEL_INTERFACES("HIDE_PARALLEL_INTERFACES",
                                               "Hide Parallel Interfaces Between Processors", false);
const OFInitOptionString OF_RESULTS_NAMES_MAPPING("RESULTS_NAMES_MAPPING", "Result names mapping",
                                                  "U=Velocity;p=Pressure;rho=Density;T=Temperature;g=Gravity");
