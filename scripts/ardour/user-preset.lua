-- Saves a user preset through Ardour's preset list, or loads one, and prints the parameters after.
-- ardour7-lua user-preset.lua DIR NAME save LABEL PARAM=VALUE...   sets the values and saves them
--                                                                   as LABEL (the session is not saved)
-- ardour7-lua user-preset.lua DIR NAME load LABEL                  loads LABEL
-- (controls only: Ardour counts an LV2 plug-in's other ports among its parameters)
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
local dir, name, action, label = arg[1], arg[2], arg[3], arg[4]
K.open(dir, name)
local proc, plugin = K.phaser()

if action == "save" then
	for i = 5, #arg do
		local param, value = arg[i]:match("^(.-)=(.*)$")
		K.set(proc, plugin, param, tonumber(value))
	end
	K.settle()
	local record = plugin:save_preset(label)
	assert(record and record.valid, "Ardour did not save the preset " .. label)
	print(string.format("saved %s (%s, user %s)", record.label, record.uri, tostring(record.user)))
	K.print_controls(proc, plugin)
else
	local record = K.preset(plugin, label)
	print(string.format("loading %s (%s, user %s)", record.label, record.uri, tostring(record.user)))
	assert(plugin:load_preset(record), "Ardour did not load the preset " .. label)
	K.settle()
	K.print_controls(proc, plugin)
end
print("done")
close_session()
