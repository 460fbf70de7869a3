-- Lists the plug-ins Ardour knows (any type) whose name is KSPhaser's, as Ardour's plug-in list has them.
-- ardour7-lua scan.lua
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")

-- Without a running engine ardour7-lua crashes in list_plugins().
K.start_engine()

local found = 0
for info in ARDOUR.LuaAPI.list_plugins():iter() do
	if info.name == K.PLUGIN_NAME then
		found = found + 1
		print(string.format("found: %q by %q, type %s, category %q, %d in / %d out, id %s", info.name,
			info.creator, ARDOUR.PluginType.name(info.type), info.category, info.n_inputs:n_audio(),
			info.n_outputs:n_audio(), info.unique_id))
		print("  module: " .. info.path)
	end
end
print("plug-ins named " .. K.PLUGIN_NAME .. ": " .. found)
print("done")
