-- Saves a user preset through Ardour's preset list, or loads one, and prints the parameters after.
-- ardour7-lua user-preset.lua DIR NAME save LABEL PARAM=VALUE...   sets the values and saves them
--                                                                   as LABEL (the session is not saved)
-- ardour7-lua user-preset.lua DIR NAME load LABEL                  loads LABEL
-- (controls only: Ardour counts an LV2 plug-in's other ports among its parameters)
dofile(debug.getinfo(1, "S").source:sub(2):gsub("[^/]*$", "") .. "common.lua")
local dir, name, action, label = arg[1], arg[2], arg[3], arg[4]
K.open(dir, name)
local proc, plugin = K.phaser()

local function show()
	for i = 0, plugin:parameter_count() - 1 do
		if plugin:parameter_is_control(i) then
			print(string.format("  %-14s %.9g", plugin:parameter_label(i), ARDOUR.LuaAPI.get_processor_param(proc, i, true)))
		end
	end
end

if action == "save" then
	for i = 5, #arg do
		local param, value = arg[i]:match("^(.-)=(.*)$")
		K.set(proc, plugin, param, tonumber(value))
	end
	ARDOUR.LuaAPI.usleep(200000)
	local record = plugin:save_preset(label)
	assert(record and record.valid, "Ardour did not save the preset " .. label)
	print(string.format("saved %s (%s, user %s)", record.label, record.uri, tostring(record.user)))
	show()
else
	local record = plugin:preset_by_label(label)
	assert(record and record.valid, "Ardour has no preset " .. label)
	print(string.format("loading %s (%s, user %s)", record.label, record.uri, tostring(record.user)))
	assert(plugin:load_preset(record), "Ardour did not load the preset " .. label)
	ARDOUR.LuaAPI.usleep(200000)
	show()
end
print("done")
close_session()
